# The pure modules (repository-relative sources that include no Windows header)
# and the unit tests that need nothing else; shared by the native builds.
set(RV_PURE_SOURCES
  document/encoding.cpp
  platform/textctl/line_starts.cpp platform/textctl/text_model.cpp
  views/undo_stack.cpp views/line_ends.cpp
  app/settings_format.cpp
  platform/framework/profile_codec.cpp platform/framework/pathutil.cpp)
set(RV_PURE_TESTS
  tests/textctl/test_text_model.cpp
  tests/views/test_undo_stack.cpp
  tests/app/test_settings_format.cpp)

# The UTF-8 conversions go through the system's code pages as long as
# encoding_utf8.cpp includes windows.h; the encoding tests call them, so both
# join the native build as soon as that file is pure.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${RV_ROOT}/document/encoding_utf8.cpp)
file(STRINGS ${RV_ROOT}/document/encoding_utf8.cpp rv_windows_include REGEX "^#[ \t]*include[ \t]*<windows.h>")
if(rv_windows_include)
  message(STATUS "native build without document/encoding_utf8.cpp and test_encoding (encoding_utf8.cpp includes windows.h)")
else()
  list(APPEND RV_PURE_SOURCES document/encoding_utf8.cpp)
  list(APPEND RV_PURE_TESTS tests/document/test_encoding.cpp)
endif()

list(TRANSFORM RV_PURE_SOURCES PREPEND ${RV_ROOT}/)
foreach(src ${RV_PURE_SOURCES})
  if(NOT EXISTS ${src})
    message(FATAL_ERROR "pure module ${src} is missing")
  endif()
endforeach()
