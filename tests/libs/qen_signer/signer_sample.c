/* The smallest program of our own build: the PE that the tests sign. */
int main(void) { return 0; }
