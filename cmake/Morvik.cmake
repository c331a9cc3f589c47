# Helpers shared by every folder's CMakeLists.txt.

# Our own code is built with every warning as an error; third-party headers are not ours.
function(morvik_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# The sanitizer build (make sanitize): AddressSanitizer and UndefinedBehaviorSanitizer on every
# target, C and C++ alike, stopping at the first report, plus the standard library's own checks.
# GCC leaves a double converted to an integer it does not fit out of "undefined"; positions,
# feeds and G-code numbers are such conversions, so that check is asked for by name.
# Applied before the folders are added so that the card's stand-in libraries get it too.
function(morvik_sanitizers)
    set(flags -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all
        -fno-omit-frame-pointer)
    add_compile_options(${flags})
    add_link_options(-fsanitize=address,undefined,float-cast-overflow)
    add_compile_definitions(_GLIBCXX_ASSERTIONS)
endfunction()

# A core library (settings, controller, machine, operation): plain C++, no Qt.
# The check at the end of the top-level file fails the configure step if one links Qt.
function(morvik_core_library name)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    morvik_warnings(${name})
    set_property(GLOBAL APPEND PROPERTY MORVIK_CORE_TARGETS ${name})
endfunction()

# A GoogleTest executable registered with CTest, one CTest entry per test case.
function(morvik_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
    target_compile_definitions(${name} PRIVATE
        MORVIK_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests"
        MORVIK_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
    morvik_warnings(${name})
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ${T_PROPERTIES})
endfunction()

# Walks the link closure of a target and fails the configure step when Qt appears in it.
function(_morvik_collect_links target out)
    set(seen ${${out}})
    if(NOT TARGET ${target})
        return()
    endif()
    get_target_property(links ${target} LINK_LIBRARIES)
    get_target_property(ilinks ${target} INTERFACE_LINK_LIBRARIES)
    foreach(lib IN LISTS links ilinks)
        if(lib AND NOT lib MATCHES "NOTFOUND" AND NOT lib IN_LIST seen)
            list(APPEND seen ${lib})
            _morvik_collect_links(${lib} seen)
        endif()
    endforeach()
    set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(morvik_check_core_without_qt)
    get_property(cores GLOBAL PROPERTY MORVIK_CORE_TARGETS)
    foreach(core IN LISTS cores)
        set(all "")
        _morvik_collect_links(${core} all)
        foreach(lib IN LISTS all)
            if(lib MATCHES "Qt[0-9]*::|Qt[0-9]*[A-Z]")
                message(FATAL_ERROR "${core} is core code and must not link Qt (found ${lib})")
            endif()
        endforeach()
    endforeach()
endfunction()
