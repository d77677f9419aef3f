# Real locales for the tests, compiled by localedef into a folder of the build; tests point
# LOCPATH at it, so nothing outside the build is touched.
find_program(LOCALEDEF localedef REQUIRED)
set(TEST_LOCPATH ${CMAKE_BINARY_DIR}/locales)
set(test_locale_outputs)
foreach(locale "C;UTF-8;C.UTF-8" "zh_CN;GBK;zh_CN.GBK" "de_DE;ISO-8859-1;de_DE.ISO-8859-1")
  list(GET locale 0 source)
  list(GET locale 1 charmap)
  list(GET locale 2 name)
  add_custom_command(
    OUTPUT ${TEST_LOCPATH}/${name}/LC_CTYPE
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TEST_LOCPATH}
    COMMAND ${LOCALEDEF} -i ${source} -f ${charmap} ${TEST_LOCPATH}/${name}
    COMMENT "Compiling locale ${name}")
  list(APPEND test_locale_outputs ${TEST_LOCPATH}/${name}/LC_CTYPE)
endforeach()
add_custom_target(test_locales DEPENDS ${test_locale_outputs})
