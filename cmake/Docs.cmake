# `docs`: the GaugeKit API reference as HTML in build/docs/html (open index.html), made by
# Doxygen from the widget's public headers and the examples. Doxygen is optional: without it
# the target only says how to get it.
find_package(Doxygen QUIET)
if(DOXYGEN_FOUND)
    set(DOXYGEN_PROJECT_NAME "GaugeKit")
    set(DOXYGEN_PROJECT_NUMBER ${PROJECT_VERSION})
    set(DOXYGEN_PROJECT_BRIEF "The GAUGEKIT meter as a Qt widget")
    set(DOXYGEN_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/docs)
    set(DOXYGEN_GENERATE_HTML YES)
    set(DOXYGEN_GENERATE_LATEX NO)
    set(DOXYGEN_JAVADOC_AUTOBRIEF YES)
    set(DOXYGEN_DISTRIBUTE_GROUP_DOC YES)
    set(DOXYGEN_EXTRACT_ALL NO)
    set(DOXYGEN_WARN_IF_UNDOCUMENTED YES)
    set(DOXYGEN_WARN_NO_PARAMDOC NO)
    set(DOXYGEN_FULL_PATH_NAMES YES)
    set(DOXYGEN_STRIP_FROM_PATH ${CMAKE_SOURCE_DIR}/meter/widget/include
                                ${CMAKE_BINARY_DIR}/meter/widget/include)
    set(DOXYGEN_STRIP_FROM_INC_PATH ${DOXYGEN_STRIP_FROM_PATH})
    set(DOXYGEN_EXAMPLE_PATH ${CMAKE_SOURCE_DIR}/examples)
    set(DOXYGEN_EXCLUDE_SYMBOLS MeterWidgetPrivate)
    # What moc reads is no API of its own; each property is documented at its functions.
    set(DOXYGEN_MACRO_EXPANSION YES)
    set(DOXYGEN_EXPAND_ONLY_PREDEF YES)
    set(DOXYGEN_PREDEFINED "Q_OBJECT=" "Q_ENUM(x)=" "Q_PROPERTY(x)=" "GAUGEKIT_METER_EXPORT=" "slots=" "signals=public")
    doxygen_add_docs(docs
        ${CMAKE_SOURCE_DIR}/docs/api/GaugeKit.dox
        ${CMAKE_SOURCE_DIR}/meter/widget/include/GaugeKit/MeterWidget.h
        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
        COMMENT "GaugeKit API reference in ${CMAKE_BINARY_DIR}/docs/html")
else()
    add_custom_target(docs
        COMMAND ${CMAKE_COMMAND} -E echo
                "docs: Doxygen was not found; install it (apt-get install doxygen) and run cmake again"
        COMMAND ${CMAKE_COMMAND} -E false
        VERBATIM)
endif()
