# Finds QScintilla for Qt 6 and provides the imported target
# QScintilla::QScintilla (its headers, its library and the Qt modules it
# needs). Look for Qt 6 first: its header folder is where QScintilla's
# headers are installed (Debian: libqscintilla2-qt6-dev).
#
#   find_package(QScintilla REQUIRED)
#   target_link_libraries(mytarget PRIVATE QScintilla::QScintilla)

find_path(QScintilla_INCLUDE_DIR Qsci/qsciscintilla.h
  HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_HEADERS}"
  PATH_SUFFIXES qt6)
find_library(QScintilla_LIBRARY NAMES qscintilla2_qt6)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(QScintilla
  REQUIRED_VARS QScintilla_LIBRARY QScintilla_INCLUDE_DIR)
mark_as_advanced(QScintilla_INCLUDE_DIR QScintilla_LIBRARY)

if(QScintilla_FOUND AND NOT TARGET QScintilla::QScintilla)
  add_library(QScintilla::QScintilla UNKNOWN IMPORTED)
  set_target_properties(QScintilla::QScintilla PROPERTIES
    IMPORTED_LOCATION "${QScintilla_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${QScintilla_INCLUDE_DIR}"
    INTERFACE_LINK_LIBRARIES "Qt6::Widgets;Qt6::PrintSupport")
endif()
