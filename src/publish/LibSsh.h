#pragma once

#include "markup/LazyLibrary.h"

#include <libssh/libssh.h>
#include <libssh/sftp.h>

// The functions of libssh the SFTP upload calls. The library is loaded when the first SFTP
// connection opens: linked to the program, it and OpenSSL's libcrypto under it were mapped
// and set up at every start, milliseconds and megabytes for what most starts never use.
#define BRISKO_LIBSSH_FUNCTIONS(X) \
    X(sftp_attributes_free) \
    X(sftp_canonicalize_path) \
    X(sftp_close) \
    X(sftp_closedir) \
    X(sftp_dir_eof) \
    X(sftp_free) \
    X(sftp_get_error) \
    X(sftp_init) \
    X(sftp_lstat) \
    X(sftp_mkdir) \
    X(sftp_new) \
    X(sftp_open) \
    X(sftp_opendir) \
    X(sftp_readdir) \
    X(sftp_rename) \
    X(sftp_rmdir) \
    X(sftp_seek64) \
    X(sftp_unlink) \
    X(sftp_write) \
    X(ssh_channel_close) \
    X(ssh_channel_free) \
    X(ssh_channel_is_open) \
    X(ssh_channel_new) \
    X(ssh_channel_open_session) \
    X(ssh_channel_read_nonblocking) \
    X(ssh_channel_read_timeout) \
    X(ssh_channel_request_subsystem) \
    X(ssh_channel_send_eof) \
    X(ssh_channel_write) \
    X(ssh_clean_pubkey_hash) \
    X(ssh_connect) \
    X(ssh_disconnect) \
    X(ssh_free) \
    X(ssh_get_error) \
    X(ssh_get_publickey_hash) \
    X(ssh_get_server_publickey) \
    X(ssh_is_connected) \
    X(ssh_key_free) \
    X(ssh_key_type) \
    X(ssh_key_type_to_char) \
    X(ssh_new) \
    X(ssh_options_get) \
    X(ssh_options_set) \
    X(ssh_pki_import_privkey_file) \
    X(ssh_session_is_known_server) \
    X(ssh_session_update_known_hosts) \
    X(ssh_string_free_char) \
    X(ssh_userauth_agent) \
    X(ssh_userauth_password) \
    X(ssh_userauth_publickey) \
    X(ssh_userauth_publickey_auto)

struct LibSsh
{
    BRISKO_LIBRARY_FUNCTIONS(BRISKO_LIBSSH_FUNCTIONS)
};

// libssh, loaded on the first call (from any thread); nullptr when it cannot be loaded.
inline const LibSsh *loadLibSsh()
{
    return loadLibraryApi<LibSsh>(QStringLiteral("libssh.so.4"));
}
// The library once loadLibSsh() gave it: every SFTP connection checks that first.
inline const LibSsh &libSsh()
{
    return *loadLibSsh();
}
