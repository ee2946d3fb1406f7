# Helpers shared by the subsystem folders.

# Warnings are errors in our own code.
function(c3_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Werror)
endfunction()

# Sources of the core library (pure logic, no Qt). Each subsystem folder adds
# its own; the library is created once all folders have been read, twice: a
# normal build and one with AddressSanitizer and UndefinedBehaviorSanitizer.
function(c3_core_sources)
    foreach(f ${ARGN})
        get_filename_component(abs ${f} ABSOLUTE)
        set_property(GLOBAL APPEND PROPERTY C3_CORE_SOURCES ${abs})
    endforeach()
endfunction()

set(C3_SANITIZE_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
set(C3_TSAN_FLAGS -fsanitize=thread -fno-omit-frame-pointer)

# A GoogleTest executable registered with CTest.
#   c3_test(NAME name SOURCES ... LIBS ... [LABELS ...])
function(c3_test)
    cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
    target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
    set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
    c3_warnings(${T_NAME})
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 600)
    if(T_LABELS)
        set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
    endif()
endfunction()

# A test of the core library alone, built twice: plainly and with sanitizers.
function(c3_core_test)
    cmake_parse_arguments(T "" "NAME" "SOURCES" ${ARGN})
    c3_test(NAME ${T_NAME} SOURCES ${T_SOURCES} LIBS c3core LABELS core)
    add_executable(${T_NAME}_asan ${T_SOURCES})
    target_compile_options(${T_NAME}_asan PRIVATE ${C3_SANITIZE_FLAGS})
    target_link_options(${T_NAME}_asan PRIVATE ${C3_SANITIZE_FLAGS})
    target_link_libraries(${T_NAME}_asan PRIVATE c3core_asan GTest::gtest GTest::gtest_main Threads::Threads)
    target_include_directories(${T_NAME}_asan PRIVATE ${PROJECT_SOURCE_DIR})
    set_target_properties(${T_NAME}_asan PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
    c3_warnings(${T_NAME}_asan)
    add_test(NAME ${T_NAME}_asan COMMAND ${T_NAME}_asan)
    set_tests_properties(${T_NAME}_asan PROPERTIES LABELS "core;sanitizer" TIMEOUT 600
        ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0;UBSAN_OPTIONS=print_stacktrace=1")
endfunction()

# Sources of the user-interface library (panels, their layouts and
# behaviour). Each subsystem folder adds its own; the library is created
# once all folders have been read.
function(c3_gui_sources)
    foreach(f ${ARGN})
        get_filename_component(abs ${f} ABSOLUTE)
        set_property(GLOBAL APPEND PROPERTY C3_GUI_SOURCES ${abs})
    endforeach()
endfunction()

# Sources of the operations library: the orders and loops the program and
# the command-line tool share (parameter transfers, recordings, scope
# capture, calibration and hardware reads), on the link and the models, free of widgets. Each
# subsystem folder adds its own; the library is created once all folders
# have been read.
function(c3_ops_sources)
    foreach(f ${ARGN})
        get_filename_component(abs ${f} ABSOLUTE)
        set_property(GLOBAL APPEND PROPERTY C3_OPS_SOURCES ${abs})
    endforeach()
endfunction()

# A ThreadSanitizer build of the static library `target`: the same sources
# compiled with -fsanitize=thread, as ${target}_tsan, linked with LIBS (the
# ThreadSanitizer builds of the libraries it needs).
#   c3_tsan_library(target [LIBS ...])
function(c3_tsan_library target)
    cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
    get_target_property(sources ${target} SOURCES)
    get_target_property(dir ${target} SOURCE_DIR)
    list(TRANSFORM sources PREPEND "${dir}/" REGEX "^[^/]")
    add_library(${target}_tsan STATIC ${sources})
    target_compile_options(${target}_tsan PRIVATE ${C3_TSAN_FLAGS})
    target_include_directories(${target}_tsan PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target}_tsan PUBLIC ${T_LIBS})
    c3_warnings(${target}_tsan)
endfunction()

# A GoogleTest executable built with ThreadSanitizer against the _tsan
# libraries in LIBS; any report fails it.
#   c3_tsan_test(NAME name SOURCES ... LIBS ...)
function(c3_tsan_test)
    cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_compile_options(${T_NAME} PRIVATE ${C3_TSAN_FLAGS})
    target_link_options(${T_NAME} PRIVATE ${C3_TSAN_FLAGS})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
    target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
    set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
    c3_warnings(${T_NAME})
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set_tests_properties(${T_NAME} PROPERTIES LABELS "sanitizer" TIMEOUT 600
        ENVIRONMENT "TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1")
endfunction()
