# bash completion for dtu-config and dtu-sim. The options come from the programs' own --help,
# so they never fall behind the programs.

_dtu_config_options() {
  "$@" --help 2>/dev/null | grep -o -- '--[a-z][a-z0-9-]*' | sort -u
}

_dtu_config_ports() {
  local port
  for port in /dev/serial/by-id/* /dev/ttyUSB* /dev/ttyACM* /dev/ttyS* /dev/pts/[0-9]*; do
    [[ -e $port ]] && printf '%s\n' "$port"
  done
}

_dtu_config() {
  local cur=${COMP_WORDS[COMP_CWORD]}
  local prev=""
  ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
  local program=${COMP_WORDS[0]}
  local sub="" i
  for ((i = 1; i < COMP_CWORD; i++)); do
    case ${COMP_WORDS[i]} in
      read | apply | diff | set | show | new)
        sub=${COMP_WORDS[i]}
        break
        ;;
    esac
  done
  local IFS=$'\n'
  case $prev in
    --port)
      COMPREPLY=($(compgen -W "$(_dtu_config_ports)" -- "$cur"))
      return
      ;;
    -o | --output | --screenshot | --backup-dir | --config | --record | --link | --file | --per-device)
      COMPREPLY=($(compgen -f -- "$cur"))
      return
      ;;
    --lang)
      COMPREPLY=($(compgen -W $'en\nzh' -- "$cur"))
      return
      ;;
    --line)
      COMPREPLY=($(compgen -W $'8N1\n8E1\n8O1\n8N2\n7E1\n7O1' -- "$cur"))
      return
      ;;
    --baud)
      COMPREPLY=($(compgen -W $'9600\n19200\n38400\n57600\n115200' -- "$cur"))
      return
      ;;
    --model)
      if [[ ${program##*/} == dtu-sim ]]; then
        COMPREPLY=($(compgen -W "$("$program" --list-models 2>/dev/null | cut -d' ' -f1)" -- "$cur"))
        return
      fi
      if [[ $sub == new ]]; then
        COMPREPLY=($(compgen -W $'3dio\n5dio\n3dio-lora\n3dio-zigbee\ngps' -- "$cur"))
        return
      fi
      ;;
  esac
  if [[ $cur == -* ]]; then
    if [[ -n $sub ]]; then
      COMPREPLY=($(compgen -W "$(_dtu_config_options "$program" "$sub")" -- "$cur"))
    else
      COMPREPLY=($(compgen -W "$(_dtu_config_options "$program")" -- "$cur"))
    fi
    return
  fi
  if [[ -z $sub && ${program##*/} == dtu-config ]]; then
    COMPREPLY=($(compgen -W $'read\napply\ndiff\nset\nshow\nnew' -- "$cur"))
    return
  fi
  # A configuration file, or (diff) a port:PATH side.
  COMPREPLY=($(compgen -f -- "$cur"))
}

complete -o filenames -F _dtu_config dtu-config dtu-sim
