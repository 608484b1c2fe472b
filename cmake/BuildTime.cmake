# What keeps the build short, applied to every target of the build once all
# of them exist (sinefold_speed_up_build at the end of the top-level
# CMakeLists.txt), so no folder's CMakeLists.txt has to remember it:
# - precompiled headers for the targets that include Qt's widgets or
#   GoogleTest, whose headers take a third of such a file's compile time; one
#   precompiled header per kind, reused by every target of that kind (per
#   folder for the Qt tests);
# - line tables only (-g1) for the code under tests/, and in a sanitizer
#   build for all code: backtraces and sanitizer reports still name the
#   function, file and line, and the program's own code keeps its full debug
#   information where the program is built to be run. (Under the undefined
#   behaviour sanitizer full debug information made the vectorised tone
#   kernels take six times as long to compile, 51 s instead of 9.)
# - mold, else lld, where installed, in place of the default linker;
# - in a sanitizer build, only the test programs (and what they link) are
#   part of `all`: nothing else runs there; and the test code itself is not
#   optimised (-O0), since the sanitizers are there for the program's code,
#   which keeps -O1: a quarter less compile time for a Qt widget test.
include_guard(GLOBAL)
include(CheckLinkerFlag)

# The Qt headers most of our widget code includes; each of them brings most
# of QtCore, QtGui and QtWidgets along.
set(SINEFOLD_PCH_QT_HEADERS <QApplication> <QImage> <QKeyEvent> <QLabel> <QMouseEvent> <QPainter> <QPointer>
                            <QString> <QTimer> <QWheelEvent> <QWidget>)
set(SINEFOLD_PCH_GTEST_HEADERS <gtest/gtest.h>)
# A precompiled header costs about three files' worth of headers to make: a
# target with fewer files makes none (it still reuses one that fits).
set(SINEFOLD_PCH_MIN_SOURCES 3)
# A test program's executable name ends so; in a sanitizer build only these
# (and what they link or depend on) are built.
set(SINEFOLD_TEST_PROGRAM_SUFFIX "_tests")

# Every target defined in `dir` and the folders below it.
function(sinefold_targets_below dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    sinefold_targets_below(${subdir} below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} "${targets}" PARENT_SCOPE)
endfunction()

# Every target `target` links, directly or through other targets.
function(sinefold_link_closure target out)
  set(seen "")
  set(pending ${target})
  while(NOT pending STREQUAL "")
    list(POP_FRONT pending current)
    if(current IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${current})
    get_target_property(type ${current} TYPE)
    set(links "")
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(links ${current} LINK_LIBRARIES)
    endif()
    get_target_property(interface_links ${current} INTERFACE_LINK_LIBRARIES)
    foreach(item IN LISTS links interface_links)
      # $<LINK_ONLY:x> and the like: the target name inside.
      string(REGEX REPLACE "^\\$<[A-Z_]+:(.*)>$" "\\1" item "${item}")
      if(TARGET ${item})
        list(APPEND pending ${item})
      endif()
    endforeach()
  endwhile()
  set(${out} "${seen}" PARENT_SCOPE)
endfunction()

# The kind of precompiled header `target` takes ("" for none): "qt_tests" for
# test code on Qt's widgets, "qt" for other code on them, "tests" for test
# code on GoogleTest alone. The targets of one kind and one debug level
# compile with the same flags, so they share one precompiled header.
function(sinefold_pch_kind target out)
  sinefold_link_closure(${target} closure)
  set(kind "")
  if("Qt6::Widgets" IN_LIST closure AND "GTest::gtest" IN_LIST closure)
    set(kind qt_tests)
  elseif("Qt6::Widgets" IN_LIST closure)
    set(kind qt)
  elseif("GTest::gtest" IN_LIST closure)
    set(kind tests)
  endif()
  set(${out} "${kind}" PARENT_SCOPE)
endfunction()

function(sinefold_pch_headers kind out)
  set(headers "")
  if(kind MATCHES "^qt")
    list(APPEND headers ${SINEFOLD_PCH_QT_HEADERS})
  endif()
  if(kind MATCHES "tests$")
    list(APPEND headers ${SINEFOLD_PCH_GTEST_HEADERS})
  endif()
  if(kind STREQUAL "qt_tests")
    list(APPEND headers <QTest>)
  endif()
  list(TRANSFORM headers PREPEND "$<$<COMPILE_LANGUAGE:CXX>:")
  list(TRANSFORM headers APPEND ">")
  set(${out} "${headers}" PARENT_SCOPE)
endfunction()

# mold, else lld, else nothing (the compiler's default linker).
function(sinefold_fast_linker_option out)
  set(option "")
  foreach(linker IN ITEMS mold lld)
    check_linker_flag(CXX "-fuse-ld=${linker}" SINEFOLD_LINKER_${linker}_WORKS)
    if(SINEFOLD_LINKER_${linker}_WORKS)
      set(option "-fuse-ld=${linker}")
      break()
    endif()
  endforeach()
  set(${out} "${option}" PARENT_SCOPE)
endfunction()

function(sinefold_speed_up_build)
  sinefold_fast_linker_option(linker_option)
  sinefold_targets_below(${PROJECT_SOURCE_DIR} targets)
  set(tests_dir ${PROJECT_SOURCE_DIR}/tests)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
      continue()
    endif()
    if(NOT SINEFOLD_SANITIZER STREQUAL "" AND NOT (type STREQUAL "EXECUTABLE" AND target MATCHES
                                                    "${SINEFOLD_TEST_PROGRAM_SUFFIX}$"))
      set_target_properties(${target} PROPERTIES EXCLUDE_FROM_ALL TRUE)
    endif()
    if(type STREQUAL "UTILITY")
      continue()
    endif()
    if(linker_option)
      target_link_options(${target} PRIVATE ${linker_option})
    endif()
    get_target_property(source_dir ${target} SOURCE_DIR)
    cmake_path(IS_PREFIX tests_dir ${source_dir} NORMALIZE is_test_code)
    set(line_tables_only FALSE)
    if(is_test_code OR NOT SINEFOLD_SANITIZER STREQUAL "")
      set(line_tables_only TRUE)
      target_compile_options(${target} PRIVATE -g1)
    endif()
    if(is_test_code AND NOT SINEFOLD_SANITIZER STREQUAL "")
      target_compile_options(${target} PRIVATE -O0)
    endif()
    sinefold_pch_kind(${target} kind)
    if(kind STREQUAL "")
      continue()
    endif()
    # A precompiled header GCC finds unusable for a file is silently replaced
    # by the header text: warn instead, so a mismatch shows.
    target_compile_options(${target} PRIVATE -Winvalid-pch)
    # GCC takes no precompiled header made under other macro definitions:
    # the target's own, and Qt Test's QT_TESTCASE_BUILDDIR, the target's
    # build folder.
    get_target_property(definitions ${target} COMPILE_DEFINITIONS)
    if(kind STREQUAL "qt_tests")
      get_target_property(binary_dir ${target} BINARY_DIR)
      list(APPEND definitions ${binary_dir})
    endif()
    string(MD5 flags_key "${definitions}")
    set(owner pch_owner_${kind}_${line_tables_only}_${is_test_code}_${flags_key})
    get_target_property(sources ${target} SOURCES)
    list(LENGTH sources source_count)
    if(DEFINED ${owner})
      target_precompile_headers(${target} REUSE_FROM ${${owner}})
    elseif(source_count GREATER_EQUAL SINEFOLD_PCH_MIN_SOURCES)
      sinefold_pch_headers(${kind} headers)
      target_precompile_headers(${target} PRIVATE ${headers})
      set(${owner} ${target})
    endif()
  endforeach()
endfunction()
