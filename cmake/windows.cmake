# The Windows build (make windows): the platform on the Windows API, and the
# plug-in module Orbisline.dll for the host, with its settings file and a
# zip to install from. Everything the DLL needs beyond the system's own DLLs
# is linked in.

set(orbis_module_dir ${CMAKE_SOURCE_DIR}/src/host/module)

# The exports: the six entry points under their plain names. A 32-bit
# object names a __stdcall function with the bytes of its arguments
# (SetStartupInfo@4); the definition file names those, so an entry point
# whose arguments changed fails the link instead of confusing the host.
function(orbis_write_exports file)
  set(entries "SetStartupInfo 4" "GetPluginInfo 4" "OpenPlugin 8" "ProcessEditorInput 4"
              "ProcessEditorEvent 8" "ExitFAR 0")
  set(text "LIBRARY Orbisline.dll\nEXPORTS\n")
  foreach(entry ${entries})
    string(REPLACE " " ";" entry "${entry}")
    list(GET entry 0 name)
    list(GET entry 1 bytes)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      string(APPEND text "  ${name} = ${name}@${bytes}\n")
    else()
      string(APPEND text "  ${name}\n")
    endif()
  endforeach()
  file(WRITE ${file} "${text}")
endfunction()

function(orbis_windows_module)
  set(exports ${CMAKE_BINARY_DIR}/Orbisline.def)
  orbis_write_exports(${exports})
  add_library(Orbisline SHARED ${orbis_module_dir}/module.cpp ${orbis_module_dir}/dll_main.cpp
              ${orbis_module_dir}/far_api_layout.cpp ${exports})
  target_link_libraries(Orbisline PRIVATE orbis_host)
  # -static takes the C++ runtime, libgcc and the threads library in.
  target_link_options(Orbisline PRIVATE -static -s)
  set_target_properties(Orbisline PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  orbis_warnings(Orbisline)
  add_custom_command(TARGET Orbisline POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DDLL=$<TARGET_FILE:Orbisline>
            -P ${CMAKE_SOURCE_DIR}/cmake/check_dll.cmake
    VERBATIM)

  # Orbisline.obs: the built-in settings text, one element a line.
  set(settings_file ${CMAKE_BINARY_DIR}/Orbisline.obs)
  set(settings_source ${CMAKE_SOURCE_DIR}/src/config/default_settings.cpp)
  add_custom_command(OUTPUT ${settings_file}
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${settings_source} -DOUTPUT=${settings_file}
            -P ${CMAKE_SOURCE_DIR}/cmake/settings_text.cmake
    DEPENDS ${settings_source} ${CMAKE_SOURCE_DIR}/cmake/settings_text.cmake VERBATIM)
  set(install_text ${CMAKE_BINARY_DIR}/INSTALL.txt)
  configure_file(${CMAKE_SOURCE_DIR}/docs/install-windows.txt ${install_text} @ONLY
                 NEWLINE_STYLE CRLF)

  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(variant win32)
  else()
    set(variant win64)
  endif()
  set(zip ${CMAKE_BINARY_DIR}/Orbisline-${PROJECT_VERSION}-${variant}.zip)
  add_custom_command(OUTPUT ${zip}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${zip}
    COMMAND ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip Orbisline.dll Orbisline.obs INSTALL.txt
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    DEPENDS Orbisline ${settings_file} ${install_text} VERBATIM)
  add_custom_target(windows_package ALL DEPENDS ${zip})

  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/windows ${CMAKE_BINARY_DIR}/tests/windows)
endfunction()
