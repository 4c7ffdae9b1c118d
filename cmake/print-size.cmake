file(SIZE "${FILE}" bytes)
math(EXPR kib "(${bytes} + 1023) / 1024")
message(STATUS "quorrel.exe: ${bytes} bytes (${kib} KB; budget 96 KB)")
