# vortn_warnings_as_errors(DIR): -Werror on every C++ source of the project's
# own that a target under DIR compiles.  Generated sources (moc, uic,
# resources, anything in the build tree) keep plain warnings, and headers of
# Qt, GoogleTest and Google Benchmark come in as system headers, as do the
# generated headers of the autogen folders, so only warnings in our own code
# fail the build.
function(vortn_warnings_as_errors dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY" OR type STREQUAL "UTILITY")
      continue()
    endif()
    get_target_property(sources ${target} SOURCES)
    get_target_property(target_dir ${target} SOURCE_DIR)
    set(own)
    foreach(src IN LISTS sources)
      if(src MATCHES "\\$<" OR NOT src MATCHES "\\.(c|cc|cpp|cxx)$")
        continue()
      endif()
      cmake_path(ABSOLUTE_PATH src BASE_DIRECTORY ${target_dir} NORMALIZE OUTPUT_VARIABLE path)
      cmake_path(IS_PREFIX CMAKE_BINARY_DIR ${path} NORMALIZE generated)
      cmake_path(IS_PREFIX CMAKE_SOURCE_DIR ${path} NORMALIZE inside)
      if(inside AND NOT generated)
        list(APPEND own ${path})
      endif()
    endforeach()
    if(own)
      set_property(SOURCE ${own} TARGET_DIRECTORY ${target} APPEND PROPERTY COMPILE_OPTIONS -Werror)
    endif()
    # Form headers (ui_*.h) and included moc output come from the target's
    # autogen folder: as system headers their code raises no error in the
    # source that includes them.
    get_target_property(autouic ${target} AUTOUIC)
    get_target_property(automoc ${target} AUTOMOC)
    if(autouic OR automoc)
      get_target_property(binary_dir ${target} BINARY_DIR)
      target_include_directories(${target} SYSTEM PRIVATE ${binary_dir}/${target}_autogen/include)
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    vortn_warnings_as_errors(${sub})
  endforeach()
endfunction()
