# Optional sanitizer builds, for scripts/sanitize. Include this file before any
# target is defined: the flags apply to everything added after it. The script
# also loads it as the project's include, so it guards against a second pass.
include_guard(GLOBAL)

#   QUARBELL_SANITIZE=address  AddressSanitizer + UndefinedBehaviorSanitizer
#   QUARBELL_SANITIZE=thread   ThreadSanitizer
set(QUARBELL_SANITIZE "" CACHE STRING "Sanitizer build: empty, 'address' (ASan + UBSan) or 'thread' (TSan)")
set_property(CACHE QUARBELL_SANITIZE PROPERTY STRINGS "" address thread)

if(QUARBELL_SANITIZE)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "QUARBELL_SANITIZE needs clang")
    endif()

    if(QUARBELL_SANITIZE STREQUAL "address")
        set(_quarbell_sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined
            "-fsanitize-ignorelist=${CMAKE_CURRENT_LIST_DIR}/sanitizer-ignore.txt")
    elseif(QUARBELL_SANITIZE STREQUAL "thread")
        set(_quarbell_sanitize_flags -fsanitize=thread)
    else()
        message(FATAL_ERROR "QUARBELL_SANITIZE must be empty, 'address' or 'thread', not '${QUARBELL_SANITIZE}'")
    endif()

    # Readable stacks in the reports.
    add_compile_options(${_quarbell_sanitize_flags} -fno-omit-frame-pointer -g)
    add_link_options(${_quarbell_sanitize_flags})
endif()
