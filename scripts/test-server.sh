# Sourced by scripts/test.sh: a private PostgreSQL server for the tests of the server store.
# Its own data folder in a temporary directory, a port on the loopback interface only, run
# by an unprivileged user (nobody when the script runs as root), password authentication
# over TCP. Writes are not forced to disk (fsync=off) unless TEST_SERVER_FSYNC=on, as a
# benchmark wants it. start_test_server exports NUTRILO_TEST_POSTGRESQL (the URI of its maintenance
# database) and PGPASSWORD, and NUTRILO_TEST_SERVER_STOP and NUTRILO_TEST_SERVER_START: shell
# command lines that stop the server and start it again as it was (same user, port and folder),
# for a test of a server that goes away during a session; stop_test_server stops it and removes
# the folder.

start_test_server() {
    local bin
    bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
    if [ -z "$bin" ] || [ ! -x "$bin/pg_ctl" ]; then
        echo "test-server: PostgreSQL is not installed" >&2
        return 1
    fi
    TEST_SERVER_DIR=$(mktemp -d /tmp/nutrilo-pg.XXXXXX)
    local run=()
    if [ "$(id -u)" -eq 0 ]; then
        chown nobody "$TEST_SERVER_DIR"
        run=(runuser -u nobody --)
    fi
    TEST_SERVER_RUN=("${run[@]}")
    TEST_SERVER_BIN=$bin
    local password
    password=$(head -c 18 /dev/urandom | base64 | tr -d '/+=')
    printf '%s\n' "$password" >"$TEST_SERVER_DIR/pw"
    chmod 600 "$TEST_SERVER_DIR/pw"
    [ "$(id -u)" -eq 0 ] && chown nobody "$TEST_SERVER_DIR/pw"
    "${run[@]}" "$bin/initdb" -D "$TEST_SERVER_DIR/data" -U nutrilo_test --pwfile="$TEST_SERVER_DIR/pw" \
        --auth-local=scram-sha-256 --auth-host=scram-sha-256 -E UTF8 --locale=C.UTF-8 \
        >"$TEST_SERVER_DIR/initdb.log" 2>&1 || { cat "$TEST_SERVER_DIR/initdb.log" >&2; return 1; }
    rm -f "$TEST_SERVER_DIR/pw"
    local port started="" options=""
    for port in $(shuf -i 20000-60000 -n 20); do
        options="-c listen_addresses=127.0.0.1 -p $port -k $TEST_SERVER_DIR -c fsync=${TEST_SERVER_FSYNC:-off} -c max_connections=200"
        if "${run[@]}" "$bin/pg_ctl" -D "$TEST_SERVER_DIR/data" -l "$TEST_SERVER_DIR/server.log" -w -t 60 \
            -o "$options" start >/dev/null 2>&1; then
            started=$port
            break
        fi
    done
    if [ -z "$started" ]; then
        echo "test-server: the server did not start" >&2
        cat "$TEST_SERVER_DIR/server.log" >&2 || true
        return 1
    fi
    export PGPASSWORD=$password
    export NUTRILO_TEST_POSTGRESQL="postgresql://nutrilo_test@127.0.0.1:$started/postgres"
    NUTRILO_TEST_SERVER_STOP=$(printf '%q ' "${run[@]}" "$bin/pg_ctl" -D "$TEST_SERVER_DIR/data" -m fast -w stop)
    NUTRILO_TEST_SERVER_START=$(printf '%q ' "${run[@]}" "$bin/pg_ctl" -D "$TEST_SERVER_DIR/data" \
        -l "$TEST_SERVER_DIR/server.log" -w -t 60 -o "$options" start)
    export NUTRILO_TEST_SERVER_STOP NUTRILO_TEST_SERVER_START
    echo "test-server: PostgreSQL on 127.0.0.1:$started, data in $TEST_SERVER_DIR"
}

stop_test_server() {
    if [ -n "${TEST_SERVER_DIR:-}" ] && [ -d "$TEST_SERVER_DIR/data" ]; then
        "${TEST_SERVER_RUN[@]}" "$TEST_SERVER_BIN/pg_ctl" -D "$TEST_SERVER_DIR/data" -m fast -w stop \
            >/dev/null 2>&1 || true
    fi
    [ -n "${TEST_SERVER_DIR:-}" ] && rm -rf "$TEST_SERVER_DIR"
    TEST_SERVER_DIR=""
    unset NUTRILO_TEST_SERVER_STOP NUTRILO_TEST_SERVER_START
}
