CREATE ALGORITHM=MERGE DEFINER=`root`@`localhost` SQL SECURITY INVOKER VIEW `views_triggers`.`v_notes` AS select `views_triggers`.`notes`.`body` AS `body` from `views_triggers`.`notes` where `views_triggers`.`notes`.`id` < 100
;
