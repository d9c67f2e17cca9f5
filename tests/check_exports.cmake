cmake_minimum_required(VERSION 3.25)
# Fails unless the shared object exports exactly the library's interface:
# the sixteen C entries unmangled, the three pointers, members of the three
# classes, the three seeding functions, the clustering steps (Vantor::steps),
# the facts of a run (vantor/run_facts.h), the clustering runs
# (vantor/clustering_run.h), the input policy's C functions
# (vantor/input_policy.h), the tables (Vantor::tables) and the scan over k
# with its silhouettes (vantor/choosing_k.h); nothing else of ours or
# anybody else's.
# Usage: cmake -DLIBRARY=path -DNM=nm -P check_exports.cmake
execute_process(COMMAND ${NM} -D --defined-only --format=posix ${LIBRARY}
                OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()

set(required
  con_setThresholds con_getThresholds con_setModes con_getModes con_aggregate
  din_setThresholds din_getThresholds din_setModes din_getModes din_aggregate
  clu_setThresholds clu_getThresholds clu_setLimits clu_getLimits clu_cluster clu_cluster2
  _ZN6Vantor3conE _ZN6Vantor3dinE _ZN6Vantor3cluE
  _ZN6Vantor10ContifiersC1Ev _ZN6Vantor10ContifiersC1Ed
  _ZN6Vantor7DinormsC1Ev _ZN6Vantor7DinormsC1Edd
  _ZN6Vantor9ClustionsC1Ev _ZN6Vantor9ClustionsC1Ed
  vantor_check_table vantor_check_size vantor_check_k vantor_parse_seed vantor_seed_from_double
  vantor_mode_number vantor_mode_list vantor_check_unit vantor_is_double vantor_refusal_text
  vantor_message_text vantor_format_double vantor_place_text)
# Free functions, required by name: their parameter types mangle differently
# where std::uint64_t or std::int64_t is another integer type.
set(required_functions
  _ZN6Vantor11chooseSeedsE _ZN6Vantor11restartSeedE _ZN6Vantor17clusterFromStartsE
  _ZN6Vantor5steps4scanE _ZN6Vantor5steps11startUpdateE _ZN6Vantor5steps4foldE
  _ZN6Vantor5steps12finishUpdateE
  _ZN6Vantor15totalSimilarityE _ZN6Vantor15countCandidatesE _ZN6Vantor10splitPartsE
  _ZN6Vantor6tables7contifyE _ZN6Vantor6tables6dinormE
  _ZN6Vantor13runClusteringE _ZN6Vantor19runSeededClusteringE _ZN6Vantor14seedPrototypesE
  _ZN6Vantor11silhouettesE _ZN6Vantor5scanKE _ZN6Vantor8suggestKE)

string(REPLACE "\n" ";" lines "${listing}")
set(found "")
set(failures "")
foreach(line IN LISTS lines)
  if(line STREQUAL "")
    continue()
  endif()
  string(REGEX MATCH "^[^ ]+" name "${line}")
  # AddressSanitizer adds an ODR indicator beside each exported variable;
  # judge it by the variable it belongs to.
  string(REGEX REPLACE "^__odr_asan[.]" "" name "${name}")
  list(APPEND found ${name})
  if(name MATCHES "^(con|din|clu)_[a-zA-Z0-9]+$")
    continue()
  elseif(name MATCHES "^_ZN6Vantor(3con|3din|3clu)E$")
    continue()
  elseif(name MATCHES "^_ZN6Vantor(10Contifiers|7Dinorms|9Clustions)")
    continue()
  elseif(name MATCHES "^_ZN6Vantor(11chooseSeeds|11restartSeed|17clusterFromStarts)E")
    continue()
  elseif(name MATCHES "^_ZN6Vantor(13runClustering|19runSeededClustering|14seedPrototypes)E")
    continue()
  elseif(name MATCHES "^_ZN6Vantor(11silhouettes|5scanK|8suggestK)E")
    continue()
  elseif(name MATCHES "^_ZN6Vantor5steps(4scan|11startUpdate|4fold|12finishUpdate)E")
    continue()
  elseif(name MATCHES "^_ZN6Vantor(15totalSimilarity|15countCandidates|10splitParts)E")
    continue()
  elseif(name MATCHES "^_ZN6Vantor6tables(7contify|6dinorm)E")
    continue()
  elseif(name MATCHES "^vantor_(check_table|check_size|check_k|parse_seed|seed_from_double|mode_number|mode_list|check_unit|is_double|refusal_text|message_text|place_text|format_double)$")
    continue()
  endif()
  list(APPEND failures "unexpected export: ${name}")
endforeach()

foreach(name IN LISTS required)
  if(NOT name IN_LIST found)
    list(APPEND failures "missing export: ${name}")
  endif()
endforeach()

foreach(prefix IN LISTS required_functions)
  set(present FALSE)
  foreach(name IN LISTS found)
    string(FIND "${name}" "${prefix}" at)
    if(at EQUAL 0)
      set(present TRUE)
    endif()
  endforeach()
  if(NOT present)
    list(APPEND failures "missing export: ${prefix}...")
  endif()
endforeach()

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "export check failed:\n  ${text}")
endif()
list(LENGTH found count)
message(STATUS "exports ok: ${count} symbols")
