// A DLL that only carries a version resource, for the version-value tests.
