# Warnings for the project's own targets; KINETORA_WERROR turns them into errors (CI does).
function(kinetora_set_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
        -Wold-style-cast -Wcast-align
        -Wformat=2 -Wimplicit-fallthrough -Wmissing-declarations)
    if(KINETORA_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
