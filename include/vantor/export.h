/* Symbol visibility. The library is built with hidden visibility by default;
 * only declarations marked VANTOR_API leave the shared object. */
#ifndef VANTOR_EXPORT_H
#define VANTOR_EXPORT_H

#if defined(_WIN32) || defined(__CYGWIN__)
#  if defined(VANTOR_BUILDING_LIBRARY)
#    define VANTOR_API __declspec(dllexport)
#  else
#    define VANTOR_API __declspec(dllimport)
#  endif
#elif defined(__GNUC__) || defined(__clang__)
#  define VANTOR_API __attribute__((visibility("default")))
#else
#  define VANTOR_API
#endif

#endif
