# Read by cpack for a cross-built package: the dpkg-query that dpkg-shlibdeps runs reads the
# sysroot's dpkg database, where the libraries the game links are listed.
set(ENV{DPKG_ADMINDIR} ${CPACK_ZINTU_DPKG_ADMINDIR})
