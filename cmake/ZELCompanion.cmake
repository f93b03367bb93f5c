# zel_add_companion(<Name> SOURCES <file>... [LINK <library>...] [OBJECTS])
#
# A companion library beside the core, built from the calling folder:
# libZEL<Name>.so with its headers under include/, versioned like the core,
# hidden visibility with ZEL_<NAME>_BUILDING defined while it is built (its
# export header turns that into the export macro), linking the core and LINK
# publicly, and installed into the package as ZELError::<Name>.
# OBJECTS compiles the sources once as an object library ZEL<Name>_objects,
# which the tests link to reach internal helpers without exporting them.
function(zel_add_companion name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "OBJECTS" "" "SOURCES;LINK")
  set(target ZEL${name})
  string(TOUPPER ${name} upper)

  if(arg_OBJECTS)
    add_library(${target}_objects OBJECT ${arg_SOURCES})
    target_include_directories(${target}_objects PUBLIC
      $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include>
      $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/src>)
    target_compile_definitions(${target}_objects PRIVATE ZEL_${upper}_BUILDING)
    target_link_libraries(${target}_objects
      PUBLIC ZELError::ZELError ${arg_LINK}
      PRIVATE zel_warnings)
    add_library(${target} SHARED $<TARGET_OBJECTS:${target}_objects>)
  else()
    add_library(${target} SHARED ${arg_SOURCES})
    target_compile_definitions(${target} PRIVATE ZEL_${upper}_BUILDING)
    target_link_libraries(${target} PRIVATE zel_warnings)
  endif()
  add_library(ZELError::${name} ALIAS ${target})
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  target_link_libraries(${target} PUBLIC ZELError::ZELError ${arg_LINK})
  target_compile_features(${target} PUBLIC cxx_std_17)
  set_target_properties(${target} PROPERTIES
    EXPORT_NAME ${name}
    VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})

  install(TARGETS ${target}
    EXPORT ZELErrorTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  install(DIRECTORY include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
endfunction()
