#pragma once

#include <libtasn1.h>
#include <zip.h>

#include <string_view>

namespace ident {

// The parsers the container readers use, loaded at run time and only for a
// run that meets their formats: libzip (zip archives, with the
// cryptography library it brings, which costs a run more than all of
// libmagic's tests on a hundred small files) and libtasn1 (DER). The
// analysis worker may open no file once confined, so the host loads a
// library before it hands the worker a file that needs it, and starts the
// worker afresh if it was forked without it (see loadLibrariesFor()).

// libzip's entry points the zip reader calls.
struct LibZip {
  decltype(&::zip_source_function_create) source_function_create;
  decltype(&::zip_source_free) source_free;
  decltype(&::zip_open_from_source) open_from_source;
  decltype(&::zip_discard) discard;
  decltype(&::zip_get_num_entries) get_num_entries;
  decltype(&::zip_get_name) get_name;
  decltype(&::zip_name_locate) name_locate;
  decltype(&::zip_stat_index) stat_index;
  decltype(&::zip_fopen_index) fopen_index;
  decltype(&::zip_fread) fread;
  decltype(&::zip_fclose) fclose;
  decltype(&::zip_error_init) error_init;
  decltype(&::zip_error_fini) error_fini;
  decltype(&::zip_error_set) error_set;
  decltype(&::zip_error_to_data) error_to_data;
  decltype(&::zip_stat_init) stat_init;
  decltype(&::zip_source_seek_compute_offset) seek_compute_offset;
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
const LibZip* libZip();
const LibTasn1* libTasn1();

// Loads the libraries that the readers need for a file whose first bytes
// are |head|; true when this call loaded one, which a worker forked before
// it does not have.
bool loadLibrariesFor(std::string_view head);

// From now on no library is loaded: a confined process could not open it.
// Those loaded before stay usable.
void closeLibraryLoading();

}  // namespace ident
