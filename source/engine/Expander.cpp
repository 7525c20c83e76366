// Filled in with its stage.
