# Makes the files of recovery_tests that the suite cannot make itself, in the folder FILES (removed
# first: it holds nothing but these):
#   big.bin  6 MiB, more than the suite may write to one file (QUORVANE_FILE_SIZE_LIMIT is 4 MiB)
#   taken/   x.txt and x (2).txt to x (9999).txt, empty: Wine looks through a folder's names for
#            each new name, and takes half a minute to make as many.
file(REMOVE_RECURSE ${FILES})

string(REPEAT "0123456789abcdef" 65536 mebibyte)
string(REPEAT "${mebibyte}" 6 bytes)
file(WRITE ${FILES}/big.bin "${bytes}")

set(taken ${FILES}/taken/x.txt)
foreach(number RANGE 2 9999)
    list(APPEND taken "${FILES}/taken/x (${number}).txt")
endforeach()
file(MAKE_DIRECTORY ${FILES}/taken)
file(TOUCH ${taken})
