"""The pieces of tools/compare-builds: running a build, the modes, the
input sets and the comparison of their outputs."""
