# The fax library's calls are __stdcall on 32-bit Windows, where the compiler decorates them
# (FaxRegisterApp@8); the DLL exports them undecorated, and the import library maps the one to
# the other, as dlltool -k does.
set(FAX_CALL_ARGUMENT_BYTES_FaxRegisterApp 8)
set(FAX_CALL_ARGUMENT_BYTES_FaxEnableDebug 12)
set(FAX_CALL_ARGUMENT_BYTES_FaxUnregisterApp 4)
set(FAX_CALLS FaxRegisterApp FaxEnableDebug FaxUnregisterApp)

# Makes target a tarnel4d.dll that exports the given calls, and nothing else, undecorated.
function(export_fax_calls target)
  set(def ${CMAKE_CURRENT_BINARY_DIR}/${target}.def)
  set(text "LIBRARY tarnel4d.dll\nEXPORTS\n")
  foreach(call IN LISTS ARGN)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      string(APPEND text "  ${call}@${FAX_CALL_ARGUMENT_BYTES_${call}}\n")
    else()
      string(APPEND text "  ${call}\n")
    endif()
  endforeach()
  file(WRITE ${def} "${text}")
  target_sources(${target} PRIVATE ${def})
  set_target_properties(${target} PROPERTIES OUTPUT_NAME tarnel4d PREFIX "")
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(${target} PRIVATE -Wl,--kill-at)
  endif()
  set(${target}_DEF ${def} PARENT_SCOPE)
endfunction()

# An import library for tarnel4d.dll that client programs link against: fax_library.
function(add_fax_import_library def)
  set(implib ${CMAKE_CURRENT_BINARY_DIR}/libtarnel4d-import.a)
  add_custom_command(OUTPUT ${implib}
    COMMAND ${CMAKE_DLLTOOL} -k -d ${def} -D tarnel4d.dll -l ${implib}
    DEPENDS ${def}
    COMMENT "Making the import library for tarnel4d.dll")
  add_custom_target(fax_import_library DEPENDS ${implib})
  add_library(fax_library INTERFACE)
  target_link_libraries(fax_library INTERFACE ${implib})
  add_dependencies(fax_library fax_import_library tarnel4d)
endfunction()
