# What `cmake --install` puts where, the files made for the desktop (icons, man pages) and the
# Debian package built by `cpack -G DEB`. The programs install themselves (their folders'
# CMakeLists.txt); the program finds the rest at ../share/dtu-config from its own folder.
#
#   bin/dtu-config, bin/dtu-sim
#   share/dtu-config/skin/{ConifgENRes,ConifgRes} (each with the Help.txt of its language)
#   share/applications/dtu-config.desktop, share/metainfo/<id>.metainfo.xml
#   share/icons/hicolor/<N>x<N>/apps/dtu-config.png
#   share/man/man1/dtu-config.1.gz, share/man/man1/dtu-sim.1.gz
#   share/bash-completion/completions/{dtu-config,dtu-sim}, share/zsh/vendor-completions/_dtu-config
#   share/doc/dtu-config/{copyright,changelog.gz,README.udev,examples/*.rules}

set(DTU_APPSTREAM_ID "io.github.dtu_config.dtu_config" CACHE STRING
    "AppStream component id of the desktop application")
set(DTU_PACKAGE_MAINTAINER "dtu-config developers <dtu-config@users.noreply.github.com>" CACHE
    STRING "Maintainer field of the Debian package")

set(dtu_share ${CMAKE_INSTALL_DATADIR}/dtu-config)
set(dtu_doc ${CMAKE_INSTALL_DATADIR}/doc/dtu-config)
set(dtu_packaging ${CMAKE_SOURCE_DIR}/packaging)
set(dtu_made ${CMAKE_BINARY_DIR}/packaging)

install(DIRECTORY ${CMAKE_SOURCE_DIR}/skin/ConifgENRes ${CMAKE_SOURCE_DIR}/skin/ConifgRes
        DESTINATION ${dtu_share}/skin)
install(FILES ${dtu_packaging}/dtu-config.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${dtu_packaging}/${DTU_APPSTREAM_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${dtu_packaging}/copyright ${dtu_packaging}/udev/README.udev DESTINATION ${dtu_doc})
# Shell completion: bash loads a command's completion by the command's name, zsh by #compdef.
foreach(program dtu-config dtu-sim)
  install(FILES ${dtu_packaging}/completion/dtu-config.bash
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME ${program})
endforeach()
install(FILES ${dtu_packaging}/completion/_dtu-config
        DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)
install(FILES ${dtu_packaging}/udev/70-dtu-config-no-modemmanager.rules
        DESTINATION ${dtu_doc}/examples)

# Made at build time. A sanitizer build skips them: its programs would report the leaks of the
# libraries they load while the build runs them.
if(NOT DTU_SANITIZE)
  find_program(GZIP_PROGRAM gzip REQUIRED)

  add_executable(dtu-make-icons ${dtu_packaging}/make_icons.cpp
                                ${PROJECT_SOURCE_DIR}/src/app/program_badge.cpp)
  dtu_target_options(dtu-make-icons)
  target_include_directories(dtu-make-icons PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(dtu-make-icons PRIVATE Qt6::Gui)
  set_target_properties(dtu-make-icons PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${dtu_made})
  set(icon_files)
  foreach(size 16 24 32 48 64 128 256 512)
    list(APPEND icon_files ${dtu_made}/icons/${size}x${size}/apps/dtu-config.png)
  endforeach()
  add_custom_command(OUTPUT ${icon_files}
                     COMMAND dtu-make-icons ${dtu_made}/icons
                     DEPENDS dtu-make-icons
                     COMMENT "Rendering the icon in the hicolor sizes")

  add_custom_command(OUTPUT ${dtu_made}/changelog.gz
                     COMMAND ${GZIP_PROGRAM} -9nc ${dtu_packaging}/changelog > changelog.gz
                     DEPENDS ${dtu_packaging}/changelog
                     WORKING_DIRECTORY ${dtu_made})

  set(package_files ${icon_files} ${dtu_made}/changelog.gz)

  # Man pages from --help, so that they never list options the programs do not have.
  find_program(HELP2MAN_PROGRAM help2man)
  if(HELP2MAN_PROGRAM)
    set(man_script ${dtu_packaging}/man/make_man.cmake)
    add_custom_command(
      OUTPUT ${dtu_made}/man/dtu-config.1.gz
      COMMAND ${CMAKE_COMMAND} -DHELP2MAN=${HELP2MAN_PROGRAM} -DGZIP=${GZIP_PROGRAM}
              -DPROGRAM=$<TARGET_FILE:dtu-config> -DNAME=dtu-config -DVERSION=${PROJECT_VERSION}
              -DINCLUDE=${dtu_packaging}/man/dtu-config.h2m "-DSUBCOMMANDS=read\;apply\;diff\;set\;show\;new"
              -DOUT=${dtu_made}/man/dtu-config.1.gz -P ${man_script}
      DEPENDS dtu-config ${dtu_packaging}/man/dtu-config.h2m ${man_script}
      COMMENT "Writing the man page of dtu-config")
    add_custom_command(
      OUTPUT ${dtu_made}/man/dtu-sim.1.gz
      COMMAND ${CMAKE_COMMAND} -DHELP2MAN=${HELP2MAN_PROGRAM} -DGZIP=${GZIP_PROGRAM}
              -DPROGRAM=$<TARGET_FILE:dtu-sim> -DNAME=dtu-sim -DVERSION=${PROJECT_VERSION}
              -DINCLUDE=${dtu_packaging}/man/dtu-sim.h2m -DOUT=${dtu_made}/man/dtu-sim.1.gz
              -P ${man_script}
      DEPENDS dtu-sim ${dtu_packaging}/man/dtu-sim.h2m ${man_script}
      COMMENT "Writing the man page of dtu-sim")
    file(MAKE_DIRECTORY ${dtu_made}/man)
    list(APPEND package_files ${dtu_made}/man/dtu-config.1.gz ${dtu_made}/man/dtu-sim.1.gz)
    install(FILES ${dtu_made}/man/dtu-config.1.gz ${dtu_made}/man/dtu-sim.1.gz
            DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  else()
    message(STATUS "help2man not found: no man pages (apt-get install help2man)")
  endif()

  add_custom_target(dtu-package-files ALL DEPENDS ${package_files})
  install(DIRECTORY ${dtu_made}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
  install(FILES ${dtu_made}/changelog.gz DESTINATION ${dtu_doc})
endif()

# The Debian package: cpack -G DEB in the build folder.
set(CPACK_PACKAGE_NAME dtu-config)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "dtu-config developers")
set(CPACK_PACKAGE_CONTACT ${DTU_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure a cellular data transfer unit over a serial line")
file(READ ${dtu_packaging}/description.txt CPACK_PACKAGE_DESCRIPTION)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # dtu-config_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so not found by shlibdeps: the platform plugins draw the window.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PRE_BUILD_SCRIPTS ${dtu_packaging}/man/check_man_pages.cmake)
include(CPack)
