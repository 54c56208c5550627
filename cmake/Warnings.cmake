# Warnings on everywhere; SKYGLANCE_WERROR makes them fatal (CI turns it on).
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                    -Wold-style-cast -Wcast-align -Woverloaded-virtual
                    -Wformat=2 -Wimplicit-fallthrough)
if(SKYGLANCE_WERROR)
  add_compile_options(-Werror)
endif()

# Adds every immediate subfolder of the current source folder that has a
# CMakeLists.txt, in name order, so that parallel work on separate subsystems
# never edits a shared list.
function(skyglance_add_subfolders)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
       ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt
       AND NOT child IN_LIST SKYGLANCE_SKIP_DIRS)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
