// Writes the sample programs as the AVM1 fuzz target's seeds: one file per
// program and SWF version, a version byte (version - 5) then the actions.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "testkit/avm1_sample_programs.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: avm1_seed_writer FOLDER\n";
    return 2;
  }
  int written = 0;
  for (const auto& [name, program] : dc::swf::avm1::test::SamplePrograms()) {
    const dc::swf::ActionBytes bytes = program.Bytes();
    for (int version : {5, 6, 7}) {
      const std::string path = std::string(argv[1]) + "/" + name + "-swf" + std::to_string(version);
      std::ofstream out(path, std::ios::binary);
      out.put(static_cast<char>(version - 5));
      out.write(reinterpret_cast<const char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
      if (!out) {
        std::cerr << "avm1_seed_writer: cannot write " << path << "\n";
        return 1;
      }
      ++written;
    }
  }
  std::cout << "avm1_seed_writer: " << written << " seeds\n";
  return 0;
}
