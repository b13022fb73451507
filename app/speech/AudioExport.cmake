# The audio export: the converter (part of quenora_speech, so quenora-speak
# records to any format) and the window's export with its progress window.
target_sources(quenora_speech PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/AudioConverter.cpp ${CMAKE_CURRENT_LIST_DIR}/AudioConverter.h
  ${CMAKE_CURRENT_LIST_DIR}/Resampler.cpp ${CMAKE_CURRENT_LIST_DIR}/Resampler.h
  ${CMAKE_CURRENT_LIST_DIR}/ExportTexts.h)

add_library(quenora_export STATIC
  ${CMAKE_CURRENT_LIST_DIR}/AudioExport.cpp ${CMAKE_CURRENT_LIST_DIR}/AudioExport.h)
target_include_directories(quenora_export PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(quenora_export PUBLIC quenora_speech quenora_platform quenora_extensions Qt6::Widgets)

set(_export_tests ${CMAKE_CURRENT_LIST_DIR}/tests)
quenora_add_test(tst_audioconverter SOURCES ${_export_tests}/tst_audioconverter.cpp
  ${_export_tests}/WavAnalysis.cpp ${_export_tests}/WavAnalysis.h
  LIBS quenora_speech PkgConfig::SNDFILE)
quenora_add_test(tst_audioexport SOURCES ${_export_tests}/tst_audioexport.cpp
  LIBS quenora_export quenora_testsupport PkgConfig::SNDFILE)
if(TARGET quenora-speak)
  quenora_add_test(tst_speakformats SOURCES ${_export_tests}/tst_speakformats.cpp
    LIBS quenora_speech PkgConfig::SNDFILE)
  if(TARGET tst_speakformats)
    add_dependencies(tst_speakformats quenora-speak)
    target_compile_definitions(tst_speakformats PRIVATE QUENORA_SPEAK_BINARY="$<TARGET_FILE:quenora-speak>")
  endif()
endif()
