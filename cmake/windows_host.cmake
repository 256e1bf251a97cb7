# The test host for Windows (the 64-bit build runs it under wine): the
# headless host and --dump --color, which load Orbisline.dll beside them,
# and the diagnostic modes, in orbisline.exe. The plug-in reads the host's
# version from the executable's version resource, which cannot change while
# the program runs, so each version the tests play has a copy of its own:
# orbisline.exe plays 1.70, orbisline-1.62.exe and orbisline-1.63.exe the
# others. The terminal viewer is not built here.

set(orbis_host_versions 1.70 1.62 1.63)

function(orbis_windows_host)
  enable_language(RC)
  add_library(orbis_host_modes OBJECT
    orbisline/color_dump.cpp
    orbisline/host_modes.cpp
    orbisline/viewer_unavailable.cpp)
  target_link_libraries(orbis_host_modes PUBLIC orbis_app_common)
  orbis_warnings(orbis_host_modes)

  add_library(orbis_program OBJECT orbisline/main.cpp)
  target_link_libraries(orbis_program PUBLIC orbis_host_modes orbis_diagnostic_modes)
  target_compile_definitions(orbis_program PRIVATE ORBISLINE_VERSION="${PROJECT_VERSION}")
  orbis_warnings(orbis_program)

  foreach(version ${orbis_host_versions})
    if(version STREQUAL "1.70")
      set(name orbisline)
    else()
      set(name orbisline-${version})
    endif()
    string(REPLACE "." "," HOST_VERSION_NUMBERS "${version},0,0")
    set(HOST_VERSION "${version}")
    set(resource ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc)
    configure_file(${CMAKE_SOURCE_DIR}/cmake/host_version.rc.in ${resource} @ONLY)
    add_executable(${name} ${resource})
    target_link_libraries(${name} PRIVATE orbis_program orbis_host_modes orbis_diagnostic_modes)
    # -static takes the C++ runtime, libgcc and the threads library in.
    target_link_options(${name} PRIVATE -static)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
    add_dependencies(${name} Orbisline)
  endforeach()
endfunction()
