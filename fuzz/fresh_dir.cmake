# cmake -DDIR=<folder> -P fresh_dir.cmake: empties a fuzzer's work corpus, so
# repeated test runs start from the seeds and stay the same length.
file(REMOVE_RECURSE ${DIR})
file(MAKE_DIRECTORY ${DIR})
