# Compiler settings shared by every target, and what the Windows build needs.
add_compile_options(-Wall -Wextra)

if(OLVASUM_SANITIZE)
  add_compile_options(-fsanitize=${OLVASUM_SANITIZE} -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${OLVASUM_SANITIZE})
endif()
if(OLVASUM_PORTABLE_SCAN)
  add_compile_definitions(OLVASUM_PORTABLE_SCAN)
endif()
if(OLVASUM_FUZZ)
  # Coverage feedback from the program's own code, not only the targets'.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

if(WIN32)
  # Number formatting from MinGW's own stdio, linked in, rather than from
  # whichever msvcrt.dll the machine has; no runtime DLLs to ship; and the
  # whole 4 GB address space on 64-bit Windows, for the log's one buffer.
  add_compile_definitions(__USE_MINGW_ANSI_STDIO=1)
  add_link_options(-static -Wl,--large-address-aware)
else()
  add_compile_definitions(_FILE_OFFSET_BITS=64)
endif()
