CREATE ALGORITHM=UNDEFINED DEFINER=`root`@`localhost` SQL SECURITY DEFINER VIEW `views_triggers`.`v_items` AS select `views_triggers`.`items`.`id` AS `id`,`views_triggers`.`items`.`name` AS `name`,`views_triggers`.`items`.`price` AS `price` from `views_triggers`.`items` where `views_triggers`.`items`.`price` > 0
;
