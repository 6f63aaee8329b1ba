# Fails when an include runs against the layers' arrows:
# - protocol/, toolkit/, json/, net/, dataclient/, state/, workspace/ and server/ include a Qt header;
# - protocol/ includes any other layer (client and server both build on it);
# - server/ includes the data client, the program-wide state or the widget layers;
# - state/ or workspace/ include binding/, ui/ or app/;
# - binding/ includes ui/ or app/; ui/ includes app/.
set(bad "")
function(check_includes layer pattern)
  file(GLOB_RECURSE files ${ROOT}/${layer}/*.h ${ROOT}/${layer}/*.cpp)
  foreach(f IN LISTS files)
    file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*${pattern}")
    if(lines)
      set(bad "${bad}${f}: ${lines}\n" PARENT_SCOPE)
    endif()
  endforeach()
endfunction()

foreach(layer protocol toolkit json net dataclient state workspace server)
  check_includes(${layer} "[<\"]Q")
endforeach()
check_includes(protocol "\"(toolkit|json|net|dataclient|state|workspace|server|binding|ui|app)/")
check_includes(server "\"(dataclient|state|workspace|binding|ui|app)/")
check_includes(state "\"(workspace|binding|ui|app)/")
check_includes(workspace "\"(state|dataclient|net|binding|ui|app)/")
check_includes(binding "\"(ui|app)/")
check_includes(ui "\"app/")
if(bad)
  message(FATAL_ERROR "Layering broken:\n${bad}")
endif()
message(STATUS "layering ok")
