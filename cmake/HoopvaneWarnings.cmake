# Warnings for the project's own code (JUCE's sources keep their own settings).
add_library(hoopvane_warnings INTERFACE)
target_compile_options(hoopvane_warnings INTERFACE
    -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wcast-align -Wunused -Woverloaded-virtual
    -Wno-missing-field-initializers)
