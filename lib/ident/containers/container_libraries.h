#pragma once

#include <libtasn1.h>
#include <zlib.h>

#include <string_view>

namespace ident {

// The libraries the container readers use, loaded at run time and only
// for a run that meets their formats: zlib (the deflated entries of zip
// archives; libmagic brings it, so it costs next to nothing once libmagic
// is loaded) and libtasn1 (DER). The analysis worker may open no file once
// confined, so the host loads a library before it hands the worker a file
// that needs it (Engine::prepare() loads zlib with libmagic), and starts
// the worker afresh if it was forked without it (see loadLibrariesFor()).

// zlib's entry points the zip reader calls.
struct LibZ {
  decltype(&::inflateInit2_) inflate_init2;
  decltype(&::inflate) inflate;
  decltype(&::inflateEnd) inflate_end;
  decltype(&::zlibVersion) version;
};

// libtasn1's DER primitives the CMS reader calls.
struct LibTasn1 {
  decltype(&::asn1_get_tag_der) get_tag_der;
  decltype(&::asn1_get_length_der) get_length_der;
  decltype(&::asn1_get_object_id_der) get_object_id_der;
};

// The loaded library: loaded on the first call while loading is open,
// nullptr when it cannot be loaded (or lacks an entry point) or loading is
// closed and it was not loaded before. Kept for the life of the process.
const LibZ* libZ();
const LibTasn1* libTasn1();

// Loads the libraries that the readers need for a file whose first bytes
// are |head|; true when this call loaded one, which a worker forked before
// it does not have.
bool loadLibrariesFor(std::string_view head);

// From now on no library is loaded: a confined process could not open it.
// Those loaded before stay usable.
void closeLibraryLoading();

}  // namespace ident
