# Prepares the drives of support_tests on the Linux side: a file that no test made in each folder
# of FOLDERS, and no image at any path of IMAGES.
foreach(folder ${FOLDERS})
    file(WRITE ${folder}/keep.txt "not made by the tests\n")
endforeach()
file(REMOVE ${IMAGES})
