# Run by cpack after the project is installed into its staging folder: files that only
# the Debian package carries.
set(overrides "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/share/lintian/overrides")
file(MAKE_DIRECTORY "${overrides}")
# The game lives in /usr/bin, not /usr/games, so that `margin-brawler` starts from every
# account's PATH and `cmake --install` lays out the same tree.
file(WRITE "${overrides}/margin-brawler" "margin-brawler: package-section-games-but-contains-no-game\n")
