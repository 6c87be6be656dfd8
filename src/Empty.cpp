// Keeps every folder library buildable while its folder is still being filled.
