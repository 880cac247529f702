#include "container_libraries.h"

#include <dlfcn.h>

#include <atomic>
#include <mutex>

#include "cms_message.h"

namespace ident {

namespace {

using namespace std::string_view_literals;

// The sonames of Debian's zlib1g and libtasn1-6.
constexpr char kLibZName[] = "libz.so.1";
constexpr char kLibTasn1Name[] = "libtasn1.so.6";

std::atomic<bool> loading_closed{false};
std::mutex loading;

template <typename Fn>
bool bind(void* library, const char* name, Fn* fn) {
  *fn = reinterpret_cast<Fn>(::dlsym(library, name));
  return *fn != nullptr;
}

// Whether a library has been tried, and the table when it loaded.
template <typename Table>
struct Loaded {
  bool tried = false;
  bool ok = false;
  Table table{};
};

Loaded<LibZ> z_state;
Loaded<LibTasn1> tasn1_state;

bool bindZ(void* library, LibZ* api) {
  return bind(library, "inflateInit2_", &api->inflate_init2) &&
         bind(library, "inflate", &api->inflate) &&
         bind(library, "inflateEnd", &api->inflate_end) &&
         bind(library, "zlibVersion", &api->version);
}

bool bindTasn1(void* library, LibTasn1* api) {
  return bind(library, "asn1_get_tag_der", &api->get_tag_der) &&
         bind(library, "asn1_get_length_der", &api->get_length_der) &&
         bind(library, "asn1_get_object_id_der", &api->get_object_id_der);
}

// Loads |name| into |state| once, while loading is open; true when this
// call loaded it.
template <typename Table, typename Binder>
bool load(const char* name, Loaded<Table>* state, Binder binder) {
  const std::lock_guard lock(loading);
  if (state->tried || loading_closed.load()) {
    return false;
  }
  state->tried = true;
  void* library = ::dlopen(name, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    return false;
  }
  if (!binder(library, &state->table)) {
    ::dlclose(library);
    return false;
  }
  state->ok = true;
  return true;
}

template <typename Table>
const Table* loaded(const Loaded<Table>& state) {
  const std::lock_guard lock(loading);
  return state.ok ? &state.table : nullptr;
}

}  // namespace

const LibZ* libZ() {
  load(kLibZName, &z_state, bindZ);
  return loaded(z_state);
}

const LibTasn1* libTasn1() {
  load(kLibTasn1Name, &tasn1_state, bindTasn1);
  return loaded(tasn1_state);
}

bool loadLibrariesFor(std::string_view head) {
  if (head.starts_with("PK\x03\x04"sv)) {
    return load(kLibZName, &z_state, bindZ);
  }
  if (mayBeCmsMessage(head) || mayBeCmsText(head)) {
    return load(kLibTasn1Name, &tasn1_state, bindTasn1);
  }
  return false;
}

void closeLibraryLoading() { loading_closed.store(true); }

}  // namespace ident
