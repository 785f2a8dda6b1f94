# The environment every test runs in. Tests must draw, format and store the same on every
# machine, so nothing of the host's set-up leaks in: the fonts are the few files the set-up
# script installs, read through a font configuration of our own; the locale, time zone and
# home folder are fixed; there is no printer; the program's own settings variables that a
# developer's shell may hold are cleared.

set(BRISORA_TEST_ENV_DIR ${CMAKE_BINARY_DIR}/test-env)
set(BRISORA_TEST_FONT_DIR ${BRISORA_TEST_ENV_DIR}/fonts)
set(BRISORA_TEST_FONT_CACHE ${BRISORA_TEST_ENV_DIR}/fontcache)

# Font files, as the Debian packages of scripts/setup-deps.sh install them.
set(_liberation /usr/share/fonts/truetype/liberation2)
set(_dejavu /usr/share/fonts/truetype/dejavu)
set(BRISORA_TEST_FONT_FILES
    ${_liberation}/LiberationSans-Regular.ttf ${_liberation}/LiberationSans-Bold.ttf
    ${_liberation}/LiberationSans-Italic.ttf ${_liberation}/LiberationSans-BoldItalic.ttf
    ${_liberation}/LiberationSerif-Regular.ttf ${_liberation}/LiberationSerif-Bold.ttf
    ${_liberation}/LiberationSerif-Italic.ttf ${_liberation}/LiberationSerif-BoldItalic.ttf
    ${_liberation}/LiberationMono-Regular.ttf ${_liberation}/LiberationMono-Bold.ttf
    ${_liberation}/LiberationMono-Italic.ttf ${_liberation}/LiberationMono-BoldItalic.ttf
    ${_dejavu}/DejaVuSans.ttf ${_dejavu}/DejaVuSans-Bold.ttf
    ${_dejavu}/DejaVuSerif.ttf ${_dejavu}/DejaVuSerif-Bold.ttf
    ${_dejavu}/DejaVuSansMono.ttf ${_dejavu}/DejaVuSansMono-Bold.ttf)

file(REMOVE_RECURSE ${BRISORA_TEST_FONT_DIR})
file(MAKE_DIRECTORY ${BRISORA_TEST_FONT_DIR} ${BRISORA_TEST_FONT_CACHE})
foreach(font IN LISTS BRISORA_TEST_FONT_FILES)
    if(NOT EXISTS ${font})
        message(FATAL_ERROR "Test font ${font} is missing: run scripts/setup-deps.sh")
    endif()
    file(COPY ${font} DESTINATION ${BRISORA_TEST_FONT_DIR})
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/tests/support/fonts/fonts.conf.in
               ${BRISORA_TEST_ENV_DIR}/fonts.conf @ONLY)

set(_home ${BRISORA_TEST_ENV_DIR}/home)
set(_runtime ${BRISORA_TEST_ENV_DIR}/runtime)
set(_locks ${BRISORA_TEST_ENV_DIR}/lock)
file(MAKE_DIRECTORY ${_home} ${_runtime} ${_locks})
file(CHMOD ${_runtime} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

set(BRISORA_TEST_ENVIRONMENT
    QT_QPA_PLATFORM=offscreen
    BRISORA_BIN_DIR=${CMAKE_BINARY_DIR}/bin
    BRISORA_SOURCE_DIR=${CMAKE_SOURCE_DIR}
    FONTCONFIG_FILE=${BRISORA_TEST_ENV_DIR}/fonts.conf
    LANG=C.UTF-8
    LC_ALL=C.UTF-8
    TZ=UTC
    HOME=${_home}
    XDG_CONFIG_HOME=${_home}/.config
    XDG_DATA_HOME=${_home}/.local/share
    XDG_CACHE_HOME=${_home}/.cache
    XDG_RUNTIME_DIR=${_runtime}
    BRISORA_LOCK_DIR=${_locks}
    CUPS_SERVER=${BRISORA_TEST_ENV_DIR}/no-print-server)

set(BRISORA_TEST_ENVIRONMENT_UNSET
    FONTCONFIG_PATH FONTCONFIG_SYSROOT LANGUAGE
    QT_FONT_DPI QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_ENABLE_HIGHDPI_SCALING
    QT_AUTO_SCREEN_SCALE_FACTOR QT_SCALE_FACTOR_ROUNDING_POLICY QT_STYLE_OVERRIDE
    QT_QPA_PLATFORMTHEME XDG_DATA_DIRS XDG_CONFIG_DIRS
    BRISORA_REGISTRY BRISORA_PRINT_DIR BRISORA_ARCHIVE NOTIFY_SOCKET WATCHDOG_USEC WATCHDOG_PID
    STATE_DIRECTORY
    BRISORA_COM1 BRISORA_COM2 BRISORA_COM3 BRISORA_COM4)

# brisora_pin_test_environment(test [VAR=value ...]): gives `test` the environment above,
# plus the extra assignments given.
function(brisora_pin_test_environment test)
    set(unset_list)
    foreach(var IN LISTS BRISORA_TEST_ENVIRONMENT_UNSET)
        list(APPEND unset_list "${var}=unset:")
    endforeach()
    set_tests_properties(${test} PROPERTIES
        ENVIRONMENT "${BRISORA_TEST_ENVIRONMENT};${ARGN}"
        ENVIRONMENT_MODIFICATION "${unset_list}")
endfunction()
