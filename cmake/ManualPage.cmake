# cmake -DTEMPLATE=PAGE.1.in [-DSECTIONS=FILE] -DOUTPUT=PAGE.1 -DVERSION=X.Y.Z -P ManualPage.cmake
# A manual page from its template: the version in its title, the generated sections in place of
# the line @SECCIONES@.
file(READ "${TEMPLATE}" page)
set(generated "")
if(SECTIONS)
    file(READ "${SECTIONS}" generated)
endif()
string(REPLACE "@SECCIONES@\n" "${generated}" page "${page}")
string(REPLACE "@PROJECT_VERSION@" "${VERSION}" page "${page}")
file(WRITE "${OUTPUT}" "${page}")
