# Installing the programs (the desktop files install from desktop/) and the Debian package.
# `make install` honours DESTDIR and PREFIX; `make package` builds the .deb with CPack.
include(GNUInstallDirs)
# The Makefile builds before it installs or packages; CPack need not walk the whole build again.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
install(TARGETS vizmora vizmora-graphs RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vizmora)
set(CPACK_PACKAGE_VENDOR "Quorvex Software")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "playlist player for endless shows of videos and pictures")
set(CPACK_PACKAGE_DESCRIPTION
  "Vizmora plays a playlist of videos (AVI, VOB) and pictures (JPEG, GIF) as one\ncontinuous show that loops until stopped, with picture-in-picture, pictures with\nsounds, and playlists of its own and of other players (M3U, XSPF). It runs\nunattended for days, in a window or headless, and takes the desktop's media\ncontrols over MPRIS.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quorvex Software <vizmora@quorvex.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VIZMORA_HOMEPAGE})
# The libraries the binaries link come from dpkg-shlibdeps; what is loaded at run time is named
# here: the GStreamer plugins for the demuxers, decoders, mixer and sinks, and Qt's X11 platform.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-plugins-bad, gstreamer1.0-libav, gstreamer1.0-x, qt6-qpa-plugins")
# Qt's Wayland platform runs the program as a native Wayland client; without it, through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-pulseaudio | gstreamer1.0-alsa, qt6-wayland")
include(CPack)
