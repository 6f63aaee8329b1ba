# Included into the project by the demo preset (CMAKE_PROJECT_INCLUDE), for scripts/demo.sh: that
# build compiles its files in batches (CMAKE_UNITY_BUILD), which parses the Qt and standard headers
# once a batch instead of once a file. A file with a helper of the same name as one in another file
# of its target (both in anonymous namespaces) cannot share a batch: these are compiled alone.
# Should another such pair appear, the batched build fails and demo.sh builds without batches.
function(dorvane_demo_batches)
  set_property(SOURCE toolkit/Numbers.cpp toolkit/StringList.cpp DIRECTORY toolkit
               PROPERTY SKIP_UNITY_BUILD_INCLUSION ON)
  set_property(SOURCE workspace/OpenCaseFilter.cpp DIRECTORY workspace PROPERTY SKIP_UNITY_BUILD_INCLUSION ON)
  set_property(SOURCE binding/cEditObject.cpp DIRECTORY binding PROPERTY SKIP_UNITY_BUILD_INCLUSION ON)
  set_property(SOURCE ui/PersonnelPage.cpp DIRECTORY ui PROPERTY SKIP_UNITY_BUILD_INCLUSION ON)
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL dorvane_demo_batches)
