# Install rules and packages. Included last, once every program is defined:
# every executable of apps/ and cli/ is installed, so a program added there
# joins the packages without an edit here.
#
#   Windows (cross build): a ZIP whose folder holds the programs, the .exe
#     companions, resources/ (looked up beside the programs), the README and
#     licenses/.
#   Linux: the companions in bin/ under the prefix (`cmake --install`), the
#     README and licences in share/doc/kit; a TGZ of the same tree.

if(WIN32)
  set(KIT_INSTALL_BINDIR .)
  set(KIT_INSTALL_DOCDIR .)
else()
  include(GNUInstallDirs)
  set(KIT_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR})
  set(KIT_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/kit)
endif()

function(kit_install_executables_of dir)
  if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
    return()
  endif()
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(t IN LISTS targets)
    get_target_property(type ${t} TYPE)
    if(type STREQUAL "EXECUTABLE")
      install(TARGETS ${t} RUNTIME DESTINATION ${KIT_INSTALL_BINDIR})
    endif()
  endforeach()
endfunction()

kit_install_executables_of(cli)
if(WIN32)
  kit_install_executables_of(apps)
  install(DIRECTORY ${KIT_ROOT}/resources DESTINATION ${KIT_INSTALL_BINDIR})
endif()
install(FILES ${KIT_ROOT}/README.md DESTINATION ${KIT_INSTALL_DOCDIR})
if(WIN32)
  install(DIRECTORY ${KIT_ROOT}/licenses DESTINATION ${KIT_INSTALL_DOCDIR})
else()
  # The MinGW runtime is only in the Windows programs.
  install(DIRECTORY ${KIT_ROOT}/licenses DESTINATION ${KIT_INSTALL_DOCDIR} PATTERN mingw-w64-runtime.txt EXCLUDE)
endif()

set(CPACK_PACKAGE_NAME "Plotvane-Quillet-Varnick")
set(CPACK_PACKAGE_VENDOR "kit")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Radio-network planning tools and their command-line companions")
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-x64)
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_SYSTEM_NAME linux-${CMAKE_SYSTEM_PROCESSOR})
endif()
# Debug symbols stay in the build tree; the packaged programs are stripped.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_OUTPUT_FILE_PREFIX "")
include(CPack)
