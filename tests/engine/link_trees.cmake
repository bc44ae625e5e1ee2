# Makes the folder trees with links of deep_scan_tests on the Linux side, where Wine cannot make
# links, in the folder TREES (removed first: it holds nothing but these trees). The links are
# relative, so the trees read the same through any path.
#   loop/   a.txt, inner/b.txt, side/c.txt; inner/up leads back to loop and self1, self2, self3 to
#           loop itself; inner/toside leads to side, which is no ancestor of it.
#   chain/  d0 to d5, each holding fN.txt, and each but d5 two links, next and again, to the next.
file(REMOVE_RECURSE ${TREES})

file(WRITE ${TREES}/loop/a.txt "plain words a")
file(WRITE ${TREES}/loop/inner/b.txt "plain words b")
file(WRITE ${TREES}/loop/side/c.txt "plain words c")
file(CREATE_LINK .. ${TREES}/loop/inner/up SYMBOLIC)
file(CREATE_LINK ../side ${TREES}/loop/inner/toside SYMBOLIC)
foreach(self self1 self2 self3)
    file(CREATE_LINK . ${TREES}/loop/${self} SYMBOLIC)
endforeach()

foreach(level RANGE 5)
    file(WRITE ${TREES}/chain/d${level}/f${level}.txt "plain words ${level}")
    if(level LESS 5)
        math(EXPR next "${level} + 1")
        file(CREATE_LINK ../d${next} ${TREES}/chain/d${level}/next SYMBOLIC)
        file(CREATE_LINK ../d${next} ${TREES}/chain/d${level}/again SYMBOLIC)
    endif()
endforeach()
