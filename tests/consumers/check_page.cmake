cmake_minimum_required(VERSION 3.25)
# The packaging page shows the consumer programs; they must be exactly the
# files the installed_consumers test builds, so that what readers copy is
# what CI runs.
# cmake -DPAGE=docs/packaging.md -P check_page.cmake
file(READ ${PAGE} page)
foreach(example IN ITEMS cmake/CMakeLists.txt cmake/main.cpp pkgconfig/main.c)
  file(READ ${CMAKE_CURRENT_LIST_DIR}/${example} text)
  string(FIND "${page}" "${text}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${PAGE} does not show tests/consumers/${example} as it is")
  endif()
endforeach()
