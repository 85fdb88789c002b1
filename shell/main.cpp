// Entry point; the window spine arrives with the SDL backend.
int main() { return 0; }
