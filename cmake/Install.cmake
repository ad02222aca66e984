# Installation where Linux hosts look for plug-ins: <prefix>/lib/vst3 and
# <prefix>/lib/lv2 (not the multiarch library folder, which hosts do not scan).
include(GNUInstallDirs)

# The bundles are folders the format targets fill (the LV2 one with the
# description files written after linking), so they are installed whole.
install(DIRECTORY "$<GENEX_EVAL:$<TARGET_PROPERTY:Quarbell_VST3,JUCE_PLUGIN_ARTEFACT_FILE>>"
    DESTINATION lib/vst3
    USE_SOURCE_PERMISSIONS
    COMPONENT plugins)

install(DIRECTORY "$<GENEX_EVAL:$<TARGET_PROPERTY:Quarbell_LV2,JUCE_PLUGIN_ARTEFACT_FILE>>"
    DESTINATION lib/lv2
    USE_SOURCE_PERMISSIONS
    COMPONENT plugins)

# "Quarbell" alone in bin would clash in case-insensitive shells and reads
# like the renderer; the application gets a name of its own.
install(PROGRAMS "$<TARGET_FILE:Quarbell_Standalone>"
    DESTINATION "${CMAKE_INSTALL_BINDIR}"
    RENAME quarbell-standalone
    COMPONENT standalone)

install(FILES "${PROJECT_SOURCE_DIR}/packaging/quarbell.desktop"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/applications"
    COMPONENT standalone)

install(TARGETS quarbell_cli
    RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}"
    COMPONENT renderer)
