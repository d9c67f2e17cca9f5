/* Version of libvantor. CMake reads these three lines to name the shared
 * object and its SONAME, so keep the format "#define NAME number". */
#ifndef VANTOR_VERSION_H
#define VANTOR_VERSION_H

#define VANTOR_VERSION_MAJOR 1
#define VANTOR_VERSION_MINOR 0
#define VANTOR_VERSION_PATCH 0

#endif
