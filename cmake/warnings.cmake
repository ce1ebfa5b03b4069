# Warnings for the project's own targets; third-party headers come in as SYSTEM.
function(kinst_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}
                                              ${KINST_GENERATED_DIR})
  if(KINST_WINDOWS)
    target_compile_definitions(${target} PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                                _WIN32_WINNT=0x0601)
  endif()
endfunction()

if(KINST_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(KINST_FUZZ)
  # Coverage for the fuzzers reaches into the libraries under test.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
endif()
