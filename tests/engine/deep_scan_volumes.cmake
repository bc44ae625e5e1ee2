# Prepares the volumes of deep_scan_tests on the Linux side, where Wine cannot make links:
# LOOP/inner/up is a folder link back to LOOP, and the image behind S: is absent, so that
# raw device cannot be opened.
file(MAKE_DIRECTORY ${LOOP}/inner)
file(REMOVE ${LOOP}/inner/up ${MISSING_IMAGE})
file(CREATE_LINK .. ${LOOP}/inner/up SYMBOLIC)
