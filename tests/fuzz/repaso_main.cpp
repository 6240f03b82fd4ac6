// Repaso del corpus guardado de un objetivo de fuzzing, como prueba
// ordinaria cuando no hay libFuzzer (GCC). Un corpus que no existe corta el
// repaso con la excepción de std::filesystem, que nombra la carpeta.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t largo);

int main(int argc, char** argv) {
  int repasados = 0;
  for (int i = 1; i < argc; ++i)
    for (const auto& e : std::filesystem::recursive_directory_iterator(argv[i])) {
      if (!e.is_regular_file())
        continue;
      std::ifstream f(e.path(), std::ios::binary);
      std::vector<char> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      ++repasados;
    }
  std::printf("%d entradas repasadas\n", repasados);
  return repasados > 0 ? 0 : 1;
}
