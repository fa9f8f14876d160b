# What `cmake --install` puts where, and the Debian package that CPack makes of it
# (scripts/package.sh). Included from the top CMakeLists.txt when the program is built; the
# version is the project's (project(... VERSION ...)), the one place it is written.

# The package's control fields. Each build may give its own; the defaults name nobody.
set(CIBRANO_PACKAGE_MAINTAINER "The Cibrano developers <cibrano@example.org>" CACHE STRING
    "Debian package: the Maintainer field")
set(CIBRANO_HOMEPAGE "https://example.org/cibrano" CACHE STRING
    "Debian package and AppStream metadata: the program's homepage")
set(CIBRANO_SCREENSHOT_URL "" CACHE STRING
    "AppStream metadata: where packaging/main-window.png is published (empty: below the homepage)")
set(CIBRANO_PACKAGE_SECTION "utils" CACHE STRING "Debian package: the Section field")
set(CIBRANO_PACKAGE_PRIORITY "optional" CACHE STRING "Debian package: the Priority field")

set(packaging ${CMAKE_SOURCE_DIR}/packaging)
set(packaging_out ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${packaging_out})

# The changelog's latest entry must be this version's; its date is the release date of the
# AppStream metadata.
file(STRINGS ${packaging}/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^cibrano \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog: the latest entry is \"${changelog_head}\"; add an "
                      "entry for version ${PROJECT_VERSION} at the top")
endif()
file(STRINGS ${packaging}/changelog changelog_trailers REGEX "^ -- ")
list(GET changelog_trailers 0 changelog_trailer)
if(NOT changelog_trailer MATCHES ", ([0-9][0-9]?) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "packaging/changelog: no date in \"${changelog_trailer}\"")
endif()
set(day ${CMAKE_MATCH_1})
set(year ${CMAKE_MATCH_3})
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND months ${CMAKE_MATCH_2} month)
if(month LESS 0)
  message(FATAL_ERROR "packaging/changelog: no month in \"${changelog_trailer}\"")
endif()
math(EXPR month "${month} + 1")
string(LENGTH "${day}" day_digits)
if(day_digits EQUAL 1)
  set(day "0${day}")
endif()
if(month LESS 10)
  set(month "0${month}")
endif()
set(CIBRANO_RELEASE_DATE "${year}-${month}-${day}")

if(NOT CIBRANO_SCREENSHOT_URL)
  set(CIBRANO_SCREENSHOT_URL "${CIBRANO_HOMEPAGE}/main-window.png")
endif()
set(CIBRANO_METAINFO ${packaging_out}/io.github.cibrano.Cibrano.metainfo.xml)
configure_file(${packaging}/io.github.cibrano.Cibrano.metainfo.xml.in ${CIBRANO_METAINFO} @ONLY)

# Manual pages and the changelog are installed compressed, as Debian has them: gzip -9 without
# a name or a time stamp, so that the same source makes the same bytes.
set(compressed)
foreach(doc cibrano.1 cibrano-table.1 changelog)
  add_custom_command(
    OUTPUT ${packaging_out}/${doc}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${packaging}/${doc} ${packaging_out}/${doc}
    COMMAND gzip -9nf ${packaging_out}/${doc}
    DEPENDS ${packaging}/${doc}
    COMMENT "Compressing ${doc}"
    VERBATIM)
  list(APPEND compressed ${packaging_out}/${doc}.gz)
endforeach()
add_custom_target(packaging_docs ALL DEPENDS ${compressed})
# cibrano-desktop is documented in cibrano(1).
file(CREATE_LINK cibrano.1.gz ${packaging_out}/cibrano-desktop.1.gz SYMBOLIC)

# Installing builds nothing: scripts/package.sh builds what the package holds, and CPack packs a
# tree whose tests and benchmarks need not be built.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(docdir ${CMAKE_INSTALL_DATADIR}/doc/cibrano)

install(TARGETS cibrano cibrano-table RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripping install (CPack's) also drops the compiler's notes, as Debian's own packages do.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program cibrano cibrano-table)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\"
                      COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()")
install(PROGRAMS ${CMAKE_SOURCE_DIR}/app/resources/cibrano-desktop
        DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${SAMPLE_TABLE} DESTINATION ${CMAKE_INSTALL_DATADIR}/cibrano)
install(FILES ${CMAKE_SOURCE_DIR}/app/resources/cibrano.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/app/resources/cibrano-${size}.png RENAME cibrano.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/app/resources/cibrano.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CIBRANO_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${packaging_out}/cibrano.1.gz ${packaging_out}/cibrano-table.1.gz
              ${packaging_out}/cibrano-desktop.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${packaging}/copyright ${packaging_out}/changelog.gz DESTINATION ${docdir})

# The Debian package: cibrano_<version>_<arch>.deb, its run-time dependencies worked out from
# the binaries by dpkg-shlibdeps, the binaries stripped.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME cibrano)
set(CPACK_PACKAGE_VENDOR "The Cibrano developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialogs (question boxes, file and print dialogs) in Italian, loaded at start-up;
# dpkg-shlibdeps adds the libraries' dependencies after it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
# The windows are laid out for the metrics of Liberation Sans (or DejaVu Sans, tried next).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation | fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CIBRANO_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${CIBRANO_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SECTION "${CIBRANO_PACKAGE_SECTION}")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "${CIBRANO_PACKAGE_PRIORITY}")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "nutritional totals of a recipe")
set(CPACK_PACKAGE_DESCRIPTION [=[
Cibrano keeps a table of foods with their kilocalories, carbohydrates, fats
and proteins per 100 g. Type the grams of each food used in a recipe and read
the totals of the whole recipe below the list. The list sorts by any column
and narrows to the foods whose group or name contains a typed text. Recipes
are kept by name in a recipe book, with their totals per serving and per
100 g. The food table is a password-protected file of the user's own; a
sample table of 3,184 foods comes with the program, made from the Ciqual 2020
French food composition table (Anses. 2020. Ciqual French food composition
table. https://ciqual.anses.fr/) with Italian names, and the command-line
tool cibrano-table reads, exports and imports table files and prints a
recipe's nutrition sheet as PDF. The program's window is in Italian.

Cibrano tiene una tabella di alimenti con chilocalorie, glucidi, lipidi e
proteine per 100 g. Si scrivono i grammi di ogni alimento della ricetta e
sotto l'elenco si leggono i totali dell'intera ricetta. L'elenco si ordina
per qualsiasi colonna e si restringe agli alimenti il cui gruppo o nome
contiene un testo scritto. Le ricette si conservano per nome in un
ricettario, con i totali per porzione e per 100 g. La tabella degli alimenti
è un file dell'utente protetto da password; con il programma arriva una
tabella di esempio di 3.184 alimenti, tratta dalla tabella francese Ciqual
2020 con i nomi in italiano, e lo strumento a riga di comando cibrano-table
legge, esporta e importa le tabelle e stampa in PDF la scheda nutrizionale
di una ricetta.]=])
include(CPack)
