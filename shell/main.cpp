// Entry point; the window spine arrives with the SDL backend. The offline modes already work.
#include "capture/offline_options.h"
#include "capture/offline_run.h"

int main(int argc, char** argv) {
  if (is_offline_command(argc, argv)) return run_offline_command(argc, argv);
  return 0;
}
