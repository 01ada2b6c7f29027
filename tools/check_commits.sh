#!/usr/bin/env bash
# Keeps the commit messages readable in a log, for every commit after BASE
# (the history before it stays as it is):
#   - a subject (git's first paragraph, as `git log --oneline` shows it) of
#     at most 72 characters, merges included;
#   - a commit that is not a merge and changes more than 20 lines (added
#     plus deleted, as `git show --numstat` counts them; a binary file
#     counts as one line) has a body.
#
# Usage: tools/check_commits.sh [--repo DIR] [--since BASE] [REV]
#            DIR defaults to the checkout holding this script, BASE to the
#            last commit written before the rule, REV to HEAD.
#        tools/check_commits.sh --self-test   (each rule on a throwaway repo)
# Prints one line per offence and exits 1 when there is any. Where the
# commits after BASE cannot be told apart (not a git checkout, a shallow
# clone that stops after BASE, a history that does not contain BASE) it
# says why and exits 0: every commit on such a history would be judged.
set -uo pipefail

# The last commit before the rule ("README: where the web version's set-up
# command builds").
DEFAULT_BASE=d6a1f1035f52b68f7fb221f3ca2315b10b65ec8a
MAX_SUBJECT=72
MAX_LINES_WITHOUT_BODY=20

# Subjects are measured in characters, not bytes.
if locale -a 2>/dev/null | grep -qix 'c.utf-\?8'; then
    export LC_ALL=C.UTF-8
fi

# Prints the offences of the commits in BASE..REV of REPO; returns 1 when
# there is any, 0 when there is none or the range cannot be told.
check_range() {
    local repo=$1 base=$2 rev=$3
    local faults=0 count=0 hash parents subject body lines added deleted rest
    if ! command -v git > /dev/null; then
        echo "check_commits: skipped, git is not installed"
        return 0
    fi
    if ! git -C "$repo" rev-parse --is-inside-work-tree > /dev/null 2>&1 &&
        ! git -C "$repo" rev-parse --git-dir > /dev/null 2>&1; then
        echo "check_commits: skipped, $repo is not a git checkout"
        return 0
    fi
    if ! git -C "$repo" rev-parse -q --verify "$rev^{commit}" > /dev/null; then
        echo "check_commits: $rev is not a commit of $repo"
        return 1
    fi
    if ! git -C "$repo" rev-parse -q --verify "$base^{commit}" > /dev/null; then
        if [ "$(git -C "$repo" rev-parse --is-shallow-repository)" = true ]; then
            echo "check_commits: skipped, the shallow clone does not reach $base (clone the full history to check)"
        else
            echo "check_commits: skipped, $base is not in this history"
        fi
        return 0
    fi
    if ! git -C "$repo" merge-base --is-ancestor "$base" "$rev"; then
        echo "check_commits: skipped, $base is not an ancestor of $rev"
        return 0
    fi
    while read -r hash parents; do
        count=$((count + 1))
        subject=$(git -C "$repo" log -1 --format=%s "$hash")
        if [ "${#subject}" -gt "$MAX_SUBJECT" ]; then
            echo "${hash:0:7}: subject of ${#subject} characters (at most $MAX_SUBJECT): $subject"
            faults=$((faults + 1))
        fi
        # A merge (two parents or more) needs no body.
        [[ $parents == *" "* ]] && continue
        lines=0
        while read -r added deleted rest; do
            [ "$added" = - ] && added=1 && deleted=0
            lines=$((lines + added + deleted))
        done < <(git -C "$repo" diff-tree --root --no-commit-id --numstat -r "$hash")
        [ "$lines" -le "$MAX_LINES_WITHOUT_BODY" ] && continue
        body=$(git -C "$repo" log -1 --format=%b "$hash")
        if [ -z "${body//[[:space:]]/}" ]; then
            echo "${hash:0:7}: changes $lines lines (over $MAX_LINES_WITHOUT_BODY) and has no body: $subject"
            faults=$((faults + 1))
        fi
    done < <(git -C "$repo" rev-list --parents "$base..$rev")
    if [ "$faults" -gt 0 ]; then
        echo "$faults offence(s) in the $count commit(s) after ${base:0:7}"
        return 1
    fi
    echo "check_commits: $count commit(s) after ${base:0:7}, every message fits"
    return 0
}

# Each rule on a throwaway repository: the clean history passes at its
# limits, every single offence is reported with its commit, and the ranges
# that cannot be told are skipped.
self_test() {
    local tmp failed=0
    tmp=$(mktemp -d)
    trap 'rm -rf "$tmp"' RETURN
    export GIT_AUTHOR_NAME=test GIT_AUTHOR_EMAIL=test@example.invalid
    export GIT_COMMITTER_NAME=test GIT_COMMITTER_EMAIL=test@example.invalid
    export GIT_CONFIG_NOSYSTEM=1 GIT_CONFIG_GLOBAL=/dev/null
    local r=$tmp/repo
    git init -q "$r"
    git -C "$r" config commit.gpgsign false
    local trunk
    trunk=$(git -C "$r" symbolic-ref --short HEAD)
    # Writes N numbered lines to FILE and commits them with MESSAGE.
    commit_lines() {
        local file=$1 n=$2 message=$3
        seq 1 "$n" | sed "s/^/$file /" > "$r/$file"
        git -C "$r" add "$file"
        git -C "$r" commit -q -m "$message"
    }
    local x72 x73
    x72=$(printf 'x%.0s' $(seq 1 71))é  # 72 characters, 73 bytes
    x73=${x72}y
    commit_lines old 300 "$x73$x73 (before the base: never judged)"
    local base
    base=$(git -C "$r" rev-parse HEAD)
    commit_lines a 20 "$x72"
    commit_lines b 21 "$(printf 'Twenty-one lines\n\nA body says why.')"
    git -C "$r" checkout -q -b side
    commit_lines c 5 "Side branch"
    git -C "$r" checkout -q "$trunk"
    commit_lines d 3 "Main again"
    git -C "$r" merge -q --no-ff --no-edit side > /dev/null
    # The merge brings 5 lines; a merge that brings many needs no body either.
    git -C "$r" checkout -q -b wide HEAD~1
    commit_lines e 100 "$(printf 'Wide branch\n\nWith a body.')"
    git -C "$r" checkout -q "$trunk"
    git -C "$r" merge -q --no-ff --no-edit wide > /dev/null
    local clean
    clean=$(git -C "$r" rev-parse HEAD)
    if ! check_range "$r" "$base" HEAD > "$tmp/out"; then
        echo "self-test: a clean history was refused:"
        cat "$tmp/out"
        failed=1
    fi

    # name|how to make the offending commit on top of the clean history
    local cases=(
        "subject of 73 characters|commit_lines f 1 '$x73'"
        "21 lines and no body|commit_lines f 21 'Twenty-one lines'"
        "a body of blank lines|commit_lines f 21 \"\$(printf 'Subject\n\n  \n\t\n')\""
        "a first paragraph of two lines|commit_lines f 1 \"\$(printf 'Short\nand a second line, which git joins to the first: the subject is now over seventy-two characters long')\""
        "21 deleted lines and no body|git -C \"\$r\" rm -q b && git -C \"\$r\" commit -q -m 'Drop b'"
        "a long merge subject|git -C \"\$r\" checkout -q -b late HEAD~1 && commit_lines g 1 Late && git -C \"\$r\" checkout -q \"\$trunk\" && git -C \"\$r\" merge -q --no-ff -m '$x73' late"
    )
    local c name make bad
    for c in "${cases[@]}"; do
        name=${c%%|*}
        make=${c#*|}
        git -C "$r" reset -q --hard "$clean"
        if ! eval "$make" > /dev/null; then
            echo "self-test: could not make the case: $name"
            failed=1
            continue
        fi
        bad=$(git -C "$r" rev-parse --short=7 HEAD)
        if check_range "$r" "$base" HEAD > "$tmp/out"; then
            echo "self-test: not caught: $name"
            failed=1
        elif [ "$(grep -c '^[0-9a-f]\{7\}: ' "$tmp/out")" != 1 ] || ! grep -q "^$bad: " "$tmp/out"; then
            echo "self-test: $name not reported as its commit $bad alone:"
            cat "$tmp/out"
            failed=1
        fi
    done

    # Ranges that cannot be told are skipped, with the reason.
    git -C "$r" reset -q --hard "$clean"
    git -C "$r" checkout -q --orphan other
    commit_lines h 50 "$x73 on another history"
    check_range "$r" "$base" HEAD > "$tmp/out" && grep -q 'not an ancestor' "$tmp/out" ||
        { echo "self-test: another history was not skipped:"; cat "$tmp/out"; failed=1; }
    git -C "$r" checkout -q "$trunk"
    git clone -q --depth 1 "file://$r" "$tmp/shallow"
    check_range "$tmp/shallow" "$base" HEAD > "$tmp/out" && grep -q 'shallow' "$tmp/out" ||
        { echo "self-test: a shallow clone was not skipped:"; cat "$tmp/out"; failed=1; }
    mkdir "$tmp/plain"
    check_range "$tmp/plain" "$base" HEAD > "$tmp/out" && grep -q 'not a git checkout' "$tmp/out" ||
        { echo "self-test: a plain folder was not skipped:"; cat "$tmp/out"; failed=1; }
    # A full clone, as CI makes it, judges the same commits.
    git clone -q "file://$r" "$tmp/full"
    check_range "$tmp/full" "$base" HEAD > "$tmp/out" && grep -q '^check_commits: 7 commit(s)' "$tmp/out" ||
        { echo "self-test: a full clone did not judge the 7 commits:"; cat "$tmp/out"; failed=1; }

    [ $failed -eq 0 ] && echo "self-test: ${#cases[@]} offences caught, clean history and 3 untellable ranges pass"
    return $failed
}

repo=$(cd "$(dirname "$0")/.." && pwd)
base=$DEFAULT_BASE
rev=HEAD
while [ $# -gt 0 ]; do
    case $1 in
        --self-test) self_test; exit $? ;;
        --repo) repo=$2; shift 2 ;;
        --since) base=$2; shift 2 ;;
        -h | --help) sed -n '2,17p' "$0"; exit 0 ;;
        *) rev=$1; shift ;;
    esac
done
check_range "$repo" "$base" "$rev"
