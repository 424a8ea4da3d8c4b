# Install rules and the Debian package: the shared library with its SONAME link, the public
# headers, the programs, a CMake package (find_package(KelCmd) -> KelCmd::kelcmd, KelCmd::dialogs)
# and pkg-config files. The static kelcmd_core and the tests are not installed.
#
# Everything but the dialogs is the install component "kelcmd" (one Debian package, kelcmd); the
# dialogs library, where it is built, is the component "dialogs" (the package kelcmd-dialogs,
# which alone depends on Qt); the MQTT bridge is the component "bridge" (kelcmd-bridge).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(KELCMD_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/KelCmd)
set(KELCMD_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# A pkg-config file that finds its prefix from where it lies, so that the same file serves
# `cmake --install --prefix` anywhere and the Debian package.
function(kelcmd_install_pkg_config name component)
  file(RELATIVE_PATH to_prefix /${KELCMD_PKGCONFIG_DIR} /)
  string(REGEX REPLACE "/$" "" to_prefix "${to_prefix}")
  set(KELCMD_PC_PREFIX "\${pcfiledir}/${to_prefix}")
  if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}" OR IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
    set(KELCMD_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
  endif()
  foreach(kind LIBDIR INCLUDEDIR)
    if(IS_ABSOLUTE "${CMAKE_INSTALL_${kind}}")
      set(KELCMD_PC_${kind} "${CMAKE_INSTALL_${kind}}")
    else()
      set(KELCMD_PC_${kind} "\${prefix}/${CMAKE_INSTALL_${kind}}")
    endif()
  endforeach()
  configure_file(${PROJECT_SOURCE_DIR}/cmake/${name}.pc.in ${PROJECT_BINARY_DIR}/${name}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${name}.pc DESTINATION ${KELCMD_PKGCONFIG_DIR}
          COMPONENT ${component})
endfunction()

# The library and its headers.
set_target_properties(kelcmd PROPERTIES EXPORT_NAME kelcmd)
install(TARGETS kelcmd EXPORT KelCmdTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT kelcmd NAMELINK_COMPONENT kelcmd
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/kelcmd DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  COMPONENT kelcmd FILES_MATCHING PATTERN "*.h" PATTERN "kelcmd_dialogs.h" EXCLUDE)

# The programs.
install(TARGETS kelcmd_app kelbus_sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT kelcmd)

# The udev rule for USB serial adapters: dialout access, no ModemManager, a 1 ms latency timer.
# Below the prefix (/usr/lib/udev/rules.d in the package, where udev reads it as well as in
# /lib/udev/rules.d), so that an install into another prefix stays there.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/60-kelcmd-usb-serial.rules
  DESTINATION lib/udev/rules.d COMPONENT kelcmd)

# The CMake package.
install(EXPORT KelCmdTargets NAMESPACE KelCmd:: DESTINATION ${KELCMD_CMAKE_DIR} COMPONENT kelcmd)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/KelCmdConfig.cmake.in
  ${PROJECT_BINARY_DIR}/KelCmdConfig.cmake INSTALL_DESTINATION ${KELCMD_CMAKE_DIR})
# The SONAME changes with the major version: a package of another major version does not fit.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KelCmdConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KelCmdConfig.cmake ${PROJECT_BINARY_DIR}/KelCmdConfigVersion.cmake
  DESTINATION ${KELCMD_CMAKE_DIR} COMPONENT kelcmd)

kelcmd_install_pkg_config(kelcmd kelcmd)
set(KELCMD_PACKAGE_COMPONENTS kelcmd)

# The dialogs library, when this build has it.
if(TARGET kelcmd_dialogs)
  set_target_properties(kelcmd_dialogs PROPERTIES EXPORT_NAME dialogs)
  install(TARGETS kelcmd_dialogs EXPORT KelCmdDialogsTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dialogs NAMELINK_COMPONENT dialogs
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/include/kelcmd/kelcmd_dialogs.h
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kelcmd COMPONENT dialogs)
  install(EXPORT KelCmdDialogsTargets NAMESPACE KelCmd:: DESTINATION ${KELCMD_CMAKE_DIR}
    COMPONENT dialogs)
  kelcmd_install_pkg_config(kelcmd-dialogs dialogs)
  if(TARGET kelcmd_studio)
    install(TARGETS kelcmd_studio RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT dialogs)
  endif()
  list(APPEND KELCMD_PACKAGE_COMPONENTS dialogs)
endif()

# The MQTT bridge (and the remote ports' plugin, libkelcmd-remote.so*, where it is built), when
# this build has libmosquitto: the component "bridge" (the package kelcmd-bridge, which alone
# depends on libmosquitto).
if(TARGET kelcmd_bridge)
  install(TARGETS kelcmd_bridge RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT bridge)
  if(TARGET kelcmd_remote)
    install(TARGETS kelcmd_remote LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT bridge)
  endif()
  list(APPEND KELCMD_PACKAGE_COMPONENTS bridge)
endif()

# The Debian packages: `cpack -G DEB` in the build folder (scripts/package-deb.sh).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelcmd)
set(CPACK_PACKAGE_VENDOR KelCmd)
set(CPACK_PACKAGE_CONTACT "KelCmd developers <kelcmd@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Control of KelBus motor-control units over a serial line")
set(CPACK_PACKAGE_DESCRIPTION
    "KelCmd controls compact motor-control units over RS232 or RS485 with the KelBus packet\n\
protocol. This package has the shared library libkelcmd, its C headers, CMake and pkg-config\n\
files, the kelcmd command-line program and kelbus-sim, simulated units on a pseudo-terminal.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL ${KELCMD_PACKAGE_COMPONENTS})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The dialogs library links libkelcmd.so.1 from this build, which no installed package owns yet.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/src)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# Programs built against 1.x run with any later 1.x: the SONAME keeps the ABI.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_KELCMD_PACKAGE_NAME kelcmd)
set(CPACK_COMPONENT_KELCMD_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_DIALOGS_PACKAGE_NAME kelcmd-dialogs)
set(CPACK_DEBIAN_DIALOGS_PACKAGE_DEPENDS "kelcmd (= ${PROJECT_VERSION})")
set(CPACK_COMPONENT_DIALOGS_DESCRIPTION
    "Qt dialogs of KelCmd: libkelcmd-dialogs and its C header, CMake and pkg-config files.")
set(CPACK_DEBIAN_BRIDGE_PACKAGE_NAME kelcmd-bridge)
set(CPACK_DEBIAN_BRIDGE_PACKAGE_DEPENDS "kelcmd (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_BRIDGE_PACKAGE_SECTION net)
set(CPACK_COMPONENT_BRIDGE_DESCRIPTION
    "KelCmd's MQTT bridge: kelcmd-bridge puts KelBus lines on an MQTT 5 broker (unit states,\n\
JSON commands, raw exchanges for remote ports), and the remote ports' plugin.")
include(CPack)
