CREATE ALGORITHM=UNDEFINED DEFINER=`root`@`localhost` SQL SECURITY DEFINER VIEW `views_triggers`.`v_quote` AS select 'it\'s "quoted" \\ here' AS `txt`,`views_triggers`.`categories`.`title` AS `title` from `views_triggers`.`categories`
;
