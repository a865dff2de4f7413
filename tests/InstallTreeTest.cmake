# Installs the build into a fresh prefix and runs the installed programs from there.
# Run with -DBUILD_DIR=... -DPREFIX=... -DWITH_GUI=ON|OFF, and for the Windows build -DEXE=.exe
# -DEMULATOR=<what runs its programs here>.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

set(expected
  bin/linksmithctl${EXE} bin/linksmith-unitsim${EXE}
  share/linksmith/DeviceCatalog.ini
  share/linksmith/examples/plant-line1.lsm share/linksmith/examples/plant-line1-old.csv
  share/linksmith/examples/plant-line1-japanese.lsm share/linksmith/examples/scenario-healthy.txt
  share/linksmith/examples/grafana-dashboard.json share/linksmith/examples/network-line1/line1.toml
  share/man/man1/linksmith.1 share/man/man1/linksmithctl.1 share/man/man1/linksmith-unitsim.1)
if(WITH_GUI)
  list(APPEND expected bin/linksmith share/applications/linksmith.desktop
       share/icons/hicolor/scalable/apps/linksmith.svg share/icons/hicolor/64x64/apps/linksmith.png
       share/mime/packages/linksmith.xml share/linksmith/manual/ja/index.html
       share/linksmith/manual/en/index.html share/linksmith/manual/manual.css)
endif()
foreach(f IN LISTS expected)
  if(NOT EXISTS "${PREFIX}/${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

execute_process(COMMAND ${EMULATOR} "${PREFIX}/bin/linksmithctl${EXE}" show "${PREFIX}/share/linksmith/examples/plant-line1.lsm"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT out MATCHES "VR4K-LUX22")
  message(FATAL_ERROR "installed linksmithctl show failed (${rc}): ${out}${err}")
endif()

# The example network is installed whole: every node's settings file beside the network file.
execute_process(COMMAND ${EMULATOR} "${PREFIX}/bin/linksmithctl${EXE}" network check
                        "${PREFIX}/share/linksmith/examples/network-line1/line1.toml"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "installed example network does not check clean (${rc}): ${out}${err}")
endif()

if(WITH_GUI)
  execute_process(COMMAND "${PREFIX}/bin/linksmith" --version RESULT_VARIABLE rc OUTPUT_VARIABLE out)
  if(NOT rc EQUAL 0 OR NOT out MATCHES "Device catalog: ${PREFIX}/share/linksmith/DeviceCatalog.ini")
    message(FATAL_ERROR "installed linksmith does not find its catalog (${rc}): ${out}")
  endif()
  # From the build tree there is no installed catalog beside it.
  execute_process(COMMAND "${BUILD_DIR}/app/qt/linksmith" --version OUTPUT_VARIABLE out)
  if(NOT out MATCHES "Device catalog: not found")
    message(FATAL_ERROR "build-tree linksmith reports a catalog: ${out}")
  endif()
  file(READ "${PREFIX}/share/applications/linksmith.desktop" desktop)
  if(NOT desktop MATCHES "\nExec=linksmith" OR NOT desktop MATCHES "\nIcon=linksmith")
    message(FATAL_ERROR "desktop file lacks Exec or Icon")
  endif()
  # File managers open .lsm files with linksmith: the type the desktop entry declares is the one
  # shared-mime-info learns for *.lsm.
  if(NOT desktop MATCHES "\nMimeType=application/x-linksmith-settings;")
    message(FATAL_ERROR "desktop file declares no settings file type")
  endif()
  find_program(update_mime update-mime-database)
  if(update_mime)
    execute_process(COMMAND "${update_mime}" "${PREFIX}/share/mime" RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
    file(READ "${PREFIX}/share/mime/globs2" globs)
    if(NOT rc EQUAL 0 OR NOT globs MATCHES "application/x-linksmith-settings:\\*\\.lsm")
      message(FATAL_ERROR "shared-mime-info does not map *.lsm to the settings file type (${rc})")
    endif()
  endif()
endif()
file(REMOVE_RECURSE "${PREFIX}")
