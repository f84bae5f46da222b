// vellumax-cli merge, end to end.
