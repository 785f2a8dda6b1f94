# What `cmake --install` puts where. The tree is relocatable: every program and module finds
# its libraries through a run path relative to itself, and the CMake package computes its
# prefix from where it lies.
#
#   bin/                       the programs
#   <libdir>/                  libbrisora_com, libbrisora_forms, libgaugekitmeter
#                              (GaugeKit::Meter)
#   <libdir>/brisora/          the component modules (GAUGEKIT.so, TRAZOPLOT.so)
#   <Qt plugins>/designer/     the meter's Designer plugin
#   include/GaugeKit/          the widget's headers and the control's identifiers
#   include/com/               the record those identifiers are kept in
#   <libdir>/cmake/GaugeKit/   find_package(GaugeKit) -> GaugeKit::Meter
#   share/applications, share/icons/hicolor/scalable/apps   Brisora's menu entry and icon
#   lib/systemd/system/        brisora-station.service (service/station)
#   <sysconfdir>/brisora/      station.conf, the service's example configuration

include(CMakePackageConfigHelpers)

set(BRISORA_INSTALL_MODULEDIR ${CMAKE_INSTALL_LIBDIR}/brisora)
# Relative to the prefix, where the Qt found at configure time looks for its plugins.
set(GAUGEKIT_INSTALL_DESIGNERDIR ${QT6_INSTALL_PLUGINS}/designer CACHE STRING
    "Folder, below the install prefix, of the Designer plugin")

# Sets a target's installed run path to the library folder, seen from `dir`.
function(brisora_install_rpath target dir)
    file(RELATIVE_PATH rel ${CMAKE_INSTALL_PREFIX}/${dir}
         ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR})
    string(REGEX REPLACE "/$" "" rel "${rel}")
    if(rel STREQUAL "")
        set(origin "$ORIGIN")
    else()
        set(origin "$ORIGIN/${rel}")
    endif()
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "${origin}")
endfunction()

# Fails the configuration when `target` links `forbidden`, directly or through what it links.
function(brisora_refuse_link target forbidden)
    set(pending ${target})
    set(seen)
    while(pending)
        list(POP_FRONT pending current)
        if(current IN_LIST seen OR NOT TARGET ${current})
            continue()
        endif()
        list(APPEND seen ${current})
        get_target_property(type ${current} TYPE)
        set(links)
        if(NOT type STREQUAL "INTERFACE_LIBRARY")
            get_target_property(direct ${current} LINK_LIBRARIES)
            if(direct)
                list(APPEND links ${direct})
            endif()
        endif()
        get_target_property(usage ${current} INTERFACE_LINK_LIBRARIES)
        if(usage)
            list(APPEND links ${usage})
        endif()
        foreach(link IN LISTS links)
            string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
            if(link STREQUAL forbidden)
                message(FATAL_ERROR "${target} links ${forbidden} (through ${current}); "
                                    "the test doubles are for tests, benchmarks and fuzz targets")
            endif()
            list(APPEND pending ${link})
        endforeach()
    endwhile()
endfunction()

set(brisora_programs Brisora meterctl meterlab brisora-archive brisora-regsvr station-sim
                     brisora-link brisora-station)
foreach(program IN LISTS brisora_programs)
    if(TARGET ${program})
        brisora_install_rpath(${program} ${CMAKE_INSTALL_BINDIR})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

foreach(library brisora_com brisora_forms)
    brisora_install_rpath(${library} ${CMAKE_INSTALL_LIBDIR})
    install(TARGETS ${library} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
endforeach()

foreach(module GAUGEKIT TRAZOPLOT)
    if(TARGET ${module})
        brisora_install_rpath(${module} ${BRISORA_INSTALL_MODULEDIR})
        install(TARGETS ${module} LIBRARY DESTINATION ${BRISORA_INSTALL_MODULEDIR})
    endif()
endforeach()

# What is installed never links the platform's test doubles.
foreach(installed IN LISTS brisora_programs ITEMS brisora_com brisora_forms GAUGEKIT TRAZOPLOT
                                                  gaugekitdesigner GaugeKitMeter)
    brisora_refuse_link(${installed} brisora_testing)
endforeach()

brisora_install_rpath(gaugekitdesigner ${GAUGEKIT_INSTALL_DESIGNERDIR})
install(TARGETS gaugekitdesigner LIBRARY DESTINATION ${GAUGEKIT_INSTALL_DESIGNERDIR})

# The widget library and its package.
brisora_install_rpath(GaugeKitMeter ${CMAKE_INSTALL_LIBDIR})
install(TARGETS GaugeKitMeter EXPORT GaugeKitTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES
    ${CMAKE_SOURCE_DIR}/meter/widget/include/GaugeKit/MeterWidget.h
    ${CMAKE_BINARY_DIR}/meter/widget/include/GaugeKit/GaugeKitExport.h
    ${CMAKE_SOURCE_DIR}/meter/control/GaugeKitIds.h
    ${CMAKE_SOURCE_DIR}/meter/control/MeterPropertyList.h
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/GaugeKit)
# The record the identifiers are kept in.
install(FILES ${CMAKE_SOURCE_DIR}/platform/com/include/com/ControlModuleIds.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/com)

set(GAUGEKIT_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/GaugeKit)
install(EXPORT GaugeKitTargets NAMESPACE GaugeKit:: DESTINATION ${GAUGEKIT_INSTALL_CMAKEDIR})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/GaugeKitConfig.cmake.in
    ${CMAKE_BINARY_DIR}/GaugeKitConfig.cmake
    INSTALL_DESTINATION ${GAUGEKIT_INSTALL_CMAKEDIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/GaugeKitConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/GaugeKitConfig.cmake
              ${CMAKE_BINARY_DIR}/GaugeKitConfigVersion.cmake
        DESTINATION ${GAUGEKIT_INSTALL_CMAKEDIR})

# Brisora's menu entry and icon.
install(FILES ${CMAKE_SOURCE_DIR}/app/shell/resources/brisora.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/app/shell/resources/icono.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME brisora.svg)
