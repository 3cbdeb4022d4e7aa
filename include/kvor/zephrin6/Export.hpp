#pragma once

// Which declarations of the library a robot program can link against. The
// library is built with hidden visibility, so only what carries ZEPHRIN6_API
// (public classes, free functions, the C and JNI entry points) appears in its
// dynamic symbol table; everything else stays private to the library and can
// change without breaking programs. Templates defined in headers need no
// marker. The same attribute serves the build and the program on ELF.

#define ZEPHRIN6_API __attribute__((visibility("default")))
