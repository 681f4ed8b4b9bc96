# The Debian packages, made by CPack from the install rules:
#
#   codexa       (the component "program") the reader, codexa-build and
#                codexa-search in <prefix>/lib/codexa with the help page and
#                pictures, links to the three on the PATH and their manual
#                pages, the desktop entry, AppStream metadata and the hicolor
#                icons; its Qt and system libraries found by dpkg-shlibdeps,
#                the rest declared below.
#   codexa-data  (the component "data", architecture "all") the default
#                corpus in the same folder, taken from CODEXA_CORPUS_DIR.
#
# `./dev.sh deb` builds both (README, "Debian packages"); the test
# `package.deb` builds them around a small corpus and checks them.

# Where the data package takes the corpus from: the build's program folder,
# where dev.sh builds it. An environment variable of the same name, set
# when the package is made, takes its place (the test's small corpus).
set(CODEXA_CORPUS_DIR ${CMAKE_BINARY_DIR}/bin CACHE PATH "The corpus folder the package codexa-data holds")
set(CODEXA_CORPUS_FILES Index-fl.h Index-fl.cnt Index-idx.h Index-idx.m Index_content-idx.h Index_content-idx.m
    Index_desc-idx.h Index_desc-idx.m yitizi.txt zemo.dir)

# Links on the PATH; the programs find their folder through the link.
foreach(program codexa codexa-build codexa-search)
  install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK ../${CODEXA_PROGRAM_DIR}/${program}
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\" SYMBOLIC)"
    COMPONENT program)
endforeach()

# The corpus files themselves, not the links a build folder may hold to
# them. Making the data package, a missing file stops it with its name; a
# plain install of everything leaves the corpus out when there is none.
install(CODE "
  set(corpus \"${CODEXA_CORPUS_DIR}\")
  if(DEFINED ENV{CODEXA_CORPUS_DIR})
    set(corpus \"\$ENV{CODEXA_CORPUS_DIR}\")
  endif()
  if(NOT CMAKE_INSTALL_COMPONENT AND NOT EXISTS \"\${corpus}/Index-fl.h\")
    message(STATUS \"No corpus in \${corpus}: installing the programs alone\")
    return()
  endif()
  foreach(name ${CODEXA_CORPUS_FILES})
    if(NOT EXISTS \"\${corpus}/\${name}\")
      message(FATAL_ERROR \"codexa-data: no \${name} in \${corpus}; build the corpus first (./dev.sh run)\")
    endif()
    file(REAL_PATH \"\${corpus}/\${name}\" file)
    file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CODEXA_PROGRAM_DIR}\" TYPE FILE FILES \"\${file}\"
         PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endforeach()"
  COMPONENT data)

# Each package's notice and change log, where Debian looks for them.
configure_file(${CMAKE_SOURCE_DIR}/res/package/changelog ${CMAKE_BINARY_DIR}/package/changelog @ONLY)
execute_process(COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/package/changelog)
foreach(package codexa codexa-data)
  if(package STREQUAL codexa)
    set(component program)
  else()
    set(component data)
  endif()
  install(FILES ${CMAKE_BINARY_DIR}/package/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package}
    COMPONENT ${component})
  install(FILES ${CMAKE_SOURCE_DIR}/res/package/copyright.${package} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package}
    RENAME copyright COMPONENT ${component})
endforeach()

# The programs' manual pages, compressed as Debian keeps them.
foreach(program codexa codexa-build codexa-search)
  configure_file(${CMAKE_SOURCE_DIR}/res/package/man/${program}.1 ${CMAKE_BINARY_DIR}/package/man/${program}.1 COPYONLY)
  execute_process(COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/package/man/${program}.1)
  install(FILES ${CMAKE_BINARY_DIR}/package/man/${program}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
    COMPONENT program)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME codexa)
set(CPACK_PACKAGE_VENDOR "Codexa developers")
set(CPACK_PACKAGE_CONTACT "Codexa developers <packages@codexa.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_COMPONENTS_ALL program data)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The corpus is a gigabyte and more; gzip packs it in a minute where xz
# would take many.
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME codexa)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SHLIBDEPS ON)
# What no library link shows: the web engine's helper process that renders
# pages; the corpus, Qt's Japanese dialogs, a CJK font and the Hanazono
# faces for the rare characters of the extension blocks are recommended.
set(CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS "libqt6webenginecore6-bin")
set(CPACK_DEBIAN_PROGRAM_PACKAGE_RECOMMENDS
    "codexa-data (= ${PROJECT_VERSION}), qt6-translations-l10n, fonts-noto-cjk, fonts-hanazono")
# CPack indents the lines after the summary; an empty line ends a paragraph.
set(CPACK_COMPONENT_PROGRAM_DESCRIPTION "reader and full-text search for classical Chinese texts
Codexa reads a corpus of classical Chinese texts through its contents tree
of categories, works, volumes and pages, and searches it in full: keywords
joined by AND or OR, wildcards, the main text or the annotations alone,
simplified, traditional and Japanese variant forms folded together.

This package holds the reader (codexa), the corpus builder codexa-build,
which also makes a corpus from a folder of one's own plain-text files, and
the command-line search codexa-search. The default corpus is in
codexa-data.")

set(CPACK_DEBIAN_DATA_PACKAGE_NAME codexa-data)
set(CPACK_DEBIAN_DATA_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_DATA_PACKAGE_SHLIBDEPS OFF)
set(CPACK_COMPONENT_DATA_DESCRIPTION "default corpus of the Codexa reader
Classical Chinese poetry and prose for the reader Codexa: the Book of
Songs, the Analects, Mencius, the primers, the Songs of Chu, the complete
Tang and Song poetry, Song lyrics, Yuan songs and more, with their
catalogue, full-text indexes and variant-character groups.")

include(CPack)
