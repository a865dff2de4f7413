# The Qt layer's translations: translations/linksmith_LANG.ts, built to .qm by lrelease, go in the
# program's resources under :/i18n, so the program finds them wherever it is installed.
# "linksmith_lupdate" refreshes the .ts files from the sources (the Japanese texts are the source).
find_package(Qt6 REQUIRED COMPONENTS LinguistTools)
file(GLOB linksmith_ts_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/translations/linksmith_*.ts)
set_source_files_properties(${linksmith_ts_files} PROPERTIES OUTPUT_LOCATION ${CMAKE_CURRENT_BINARY_DIR}/i18n)
qt_add_lrelease(linksmith_app_qt TS_FILES ${linksmith_ts_files} QM_FILES_OUTPUT_VARIABLE linksmith_qm_files)
qt_add_resources(linksmith_app_qt linksmith_translations PREFIX "/i18n" BASE ${CMAKE_CURRENT_BINARY_DIR}/i18n
                 FILES ${linksmith_qm_files})
add_custom_target(linksmith_lupdate
  COMMAND Qt6::lupdate -locations none -I . app/qt pages/qt status/qt monitor/qt network/qt -ts ${linksmith_ts_files}
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  COMMENT "Refreshing the Qt layer's translation files from the sources")
